// SPDX-License-Identifier: GPL-3.0-or-later
#include "patb/SPatbReader.h"

#include "framework/Mu.h"
#include "misc/SException.h"
#include "misc/SGlobal.h"
#include "patb/SImageFileRange.h"
#include "patb/SImageRecords.h"
#include "patb/SObjectFileRead.h"
#include "patb/SRecordFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kOrientationRecordSize = 70; // (e)
constexpr int kObservationRecordSize = 38; // (c)
constexpr int kCameraRecordSize = 210;
constexpr int kCameraIdLength = 9;
constexpr int kProjectLineLimit = 1000;
constexpr qint64 kIniLineLimit = 4096; // far beyond any real line; only its start is compared
// Five lines of names: anything this large is not a project file and is not read.
constexpr qint64 kProjectFileMaxBytes = 1024 * 1024;

constexpr int kErrImageSequence = 60868;
constexpr int kErrObservationType = 60867;

const char *const kCorruptProject =
    QT_TRANSLATE_NOOP("Varlomin", "Project file corrupt!\nCould not read necessary parameters.\n\n");
const char *const kCannotOpen = QT_TRANSLATE_NOOP("Varlomin", "Could not open file\n%1\n\n");

QByteArray text(const QString &s) { return s.toUtf8(); }

// PAT-B writes absolute paths; a relative one (a block moved with its folder, as the
// bundled example) means the folder of the file that names it, and only when nothing is
// there, the working folder.
QString besideFile(const QString &namingFile, const QString &path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    const QString beside = QFileInfo(namingFile).dir().filePath(path);
    return QFileInfo::exists(beside) ? beside : path;
}

QString patIniPath() { return QDir(qEnvironmentVariable("windir")).filePath("Pat.ini"); }

float sigmaOf(double variance) { return static_cast<float>(std::sqrt(variance)); }

// Reports the end of a file that stopped inside a record.
void warnLeftover(const QString &name, qint64 leftover)
{
    if (leftover > 0)
        Mu::warn(qUtf8Printable(Mu::tr("File '%s' ends with an incomplete record; %lld bytes ignored.")),
                 text(name).constData(), static_cast<long long>(leftover));
}
void warnLeftover(const SRecordFile &file) { warnLeftover(file.name(), file.leftover()); }

qint64 roundUp(qint64 value, qint64 step) { return (value + step - 1) / step * step; }

// One record of (c).
struct Observation {
    int type;
    int status;
    int id;
    double observed, residual, extra;
};
constexpr size_t kObservationBatch = 64 * 1024;

void applyObservation(const Observation &o, SObjectPoint *point)
{
    if (!point) {
        Mu::warn(qUtf8Printable(Mu::tr("Point/Image %d found in file (c) but not in (o) or (e)")), o.id);
        return;
    }
    if (o.type < 1 || o.type > 6)
        throw SException(kErrObservationType, "Varlomin::ReadObjectFiles: illegal point code!");
    const int axis = (o.type - 1) % 3;
    point->setObservation(axis, float(o.observed), float(-o.residual), float(o.extra));
    const bool accepted = o.status == 0;
    point->setActive(accepted);
    point->setAccepted(axis, accepted);
    // An accepted Z does not clear a rejected X observation.
    if (o.type == 3 && accepted && point->hasObservationX() && !point->observation().flagX)
        point->setActive(false);
    if (o.type >= 4 && point->code() == SGlobal::kCodeProjectionCentre)
        point->setCode(SGlobal::kCodeObservedProjectionCentre);
}

} // namespace

SPatbReader::SPatbReader(SProjectData &data, SPatbHandler &handler) : mData(data), mHandler(handler) {}

// ---- ini-style files ----------------------------------------------------------------------

QString SPatbReader::readPATini(const QString &section, const QString &key)
{
    Mu::debug("Varlomin::readPATini");
    const QString path = QDir::toNativeSeparators(patIniPath());
    if (!QFileInfo::exists(path)) {
        Mu::warn(qUtf8Printable(Mu::tr("PAT configuaration file '%s' doesn't exist!")), text(path).constData());
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Mu::warn(qUtf8Printable(Mu::tr("Can't open PAT configuaration file '%s'!")), text(path).constData());
        return {};
    }
    return searchIniKey(file, section, key);
}

QString SPatbReader::readPATpro(const QString &fileName, const QString &section, const QString &key)
{
    Mu::debug("Varlomin::readPATpro");
    const QString name = QDir::toNativeSeparators(fileName);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        Mu::fatal(qUtf8Printable(Mu::tr("Can't open '%s'!")), text(name).constData());
    return searchIniKey(file, section, key);
}

QString SPatbReader::searchIniKey(QFile &file, const QString &section, const QString &key)
{
    const QString header = "[" + section + "]";
    auto readLine = [&file]() {
        QByteArray line = file.readLine(kIniLineLimit + 1);
        // Only the start of a line is ever compared: the rest of an over-long line is skipped
        // piece by piece, so that a damaged file is never held in memory.
        bool whole = line.endsWith('\n');
        while (!whole && !file.atEnd()) {
            const QByteArray piece = file.read(kIniLineLimit);
            const qsizetype lf = piece.indexOf('\n');
            whole = lf >= 0 && file.seek(file.pos() - (piece.size() - lf - 1));
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        return QString::fromLatin1(line);
    };

    bool inSection = false;
    while (!inSection && !file.atEnd())
        inSection = readLine().startsWith(header);
    if (!inSection)
        return {};

    while (!file.atEnd()) {
        const QString line = readLine();
        if (line.startsWith(key)) {
            const qsizetype eq = line.indexOf('=');
            return (eq < 0 ? line : line.mid(eq + 1)).trimmed();
        }
        if (line.startsWith(';')) {
            Mu::warn(qUtf8Printable(Mu::tr("Keyword '%s' not found in section %s of file '%s'!")),
                     text(key).constData(), text(header).constData(), text(file.fileName()).constData());
            return {};
        }
    }
    return {};
}

QString SPatbReader::findCurrentPATProject(bool openCurrentProject)
{
    if (!openCurrentProject) {
        Mu::warn("%s", qUtf8Printable(Mu::tr("Trying to load PAT project without option '-p'!")));
        return {};
    }
    const QString current = QDir::toNativeSeparators(besideFile(patIniPath(), readPATini("PATB", "PATB_LAST_PROJ")));
    if (current.isEmpty() || !QFileInfo::exists(current)) {
        Mu::warn(qUtf8Printable(Mu::tr("Could not find current PAT project file '%s'!")), text(current).constData());
        return {};
    }
    Mu::info(qUtf8Printable(Mu::tr("Looking for project to open in current PAT project file '%s'.")),
             text(current).constData());
    const QString output = readPATpro(current, "PROJECT", "PATB_OUT_GRAV");
    const QString project =
        QDir::toNativeSeparators(output.isEmpty() ? output + ".(p)" : besideFile(current, output + ".(p)"));
    if (!QFileInfo::exists(project)) {
        Mu::warn(qUtf8Printable(Mu::tr("Could not find appropriate project file '%s' for current PAT project!")),
                 text(project).constData());
        return {};
    }
    Mu::info(qUtf8Printable(Mu::tr("Opening project '%s' corresponding to current PAT project.")),
             text(project).constData());
    return project;
}

// ---- project file -------------------------------------------------------------------------

namespace {

const char *const kResultKeys[4] = {"IMAGE_FILE", "OBJECT_FILE", "ORIENTATION_FILE", "OBJECT_OBSERVATION_FILE"};

// The five keys of a project file; a result file whose value lacks its closing ')' stays
// unnamed.
struct ProjectKeys {
    QString camera;
    QString names[4]; // image, object, orientation, observation (kResultKeys)
};

ProjectKeys readProjectKeys(const QString &projectFile)
{
    ProjectKeys keys;
    QFile file(projectFile);
    const bool tooLarge = QFileInfo(projectFile).size() > kProjectFileMaxBytes;
    if (tooLarge)
        Mu::warn(qUtf8Printable(Mu::tr("Project file '%s' is too large (%lld bytes) to be a project file.")),
                 text(projectFile).constData(), static_cast<long long>(QFileInfo(projectFile).size()));
    if (tooLarge || !file.open(QIODevice::ReadOnly))
        return keys;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(kProjectLineLimit + 1);
        const qsizetype colon = line.indexOf(": ");
        const qsizetype start = colon < 0 ? line.size() : colon + 2;
        if (line.startsWith("CAMERA_FILE")) {
            const qsizetype lf = line.indexOf('\n', start);
            keys.camera = QString::fromLatin1(line.mid(start, lf < 0 ? -1 : lf - start)).trimmed();
            continue;
        }
        for (int k = 0; k < 4; ++k) {
            if (!line.startsWith(kResultKeys[k]))
                continue;
            const qsizetype close = line.lastIndexOf(')');
            if (close < start) {
                Mu::warn(qUtf8Printable(Mu::tr("Value of %s in project file '%s' has no closing ')'; ignored.")),
                         kResultKeys[k], text(projectFile).constData());
                keys.names[k].clear();
            } else {
                keys.names[k] = QString::fromLatin1(line.mid(start, close + 1 - start));
            }
            break;
        }
    }
    return keys;
}

// The camera file lies among PAT-B's programs; without a PAT-B installation it is looked
// for beside the project file.
QString cameraFileFor(const QString &camera, const QString &projectFile, const QString &patPrograms)
{
    if (camera.isEmpty()) {
        // Without a name the camera step would try to open a directory; leave the extents
        // to the points instead.
        Mu::warn(qUtf8Printable(Mu::tr("No camera file named in project file '%s'.")), text(projectFile).constData());
        return QString();
    }
    if (!patPrograms.isEmpty())
        return QDir(patPrograms).filePath(camera);
    const QString cameraFile = QFileInfo(projectFile).absoluteDir().filePath(camera);
    if (!QFileInfo::exists(cameraFile))
        Mu::warn(qUtf8Printable(Mu::tr("No installation of PAT found! Can't look for camera file '%s'.")),
                 text(camera).constData());
    return cameraFile;
}

} // namespace

bool SPatbReader::readProjectFile(const QString &projectFile)
{
    mStopped = false;
    ProjectKeys keys = readProjectKeys(projectFile);
    const QString &camera = keys.camera;
    QString(&names)[4] = keys.names;

    for (const QString &name : names) {
        if (name.isEmpty()) {
            readError(Mu::tr(kCorruptProject), false);
            return false;
        }
    }
    if (!mData.projectFiles)
        mData.projectFiles = std::make_unique<ProjectFiles>();

    const QDir projectDir = QFileInfo(projectFile).absoluteDir();
    for (QString &name : names) {
        const QString resolved = projectDir.filePath(name);
        if (QFileInfo::exists(resolved))
            name = resolved;
        else
            Mu::warn(qUtf8Printable(Mu::tr("Can't find file '%s'")),
                     text(QDir::toNativeSeparators(resolved)).constData());
    }

    const QString patPrograms = besideFile(patIniPath(), readPATini("PAT", "PATH_PROGRAMS"));
    const QString cameraFile = cameraFileFor(camera, projectFile, patPrograms);

    ProjectFiles &record = *mData.projectFiles;
    record.projectFile = QDir::toNativeSeparators(projectFile);
    record.cameraFile = cameraFile;
    record.imageFile = QDir::toNativeSeparators(names[0]);
    record.objectFile = QDir::toNativeSeparators(names[1]);
    record.orientationFile = QDir::toNativeSeparators(names[2]);
    record.observationFile = QDir::toNativeSeparators(names[3]);

    qint64 totalBytes = 0;
    for (const QString &name : names)
        totalBytes += QFileInfo(name).size();
    mHandler.readStarting(totalBytes);
    // (o) does not depend on (i) and (e): a worker may read it meanwhile. What it prepares
    // outlives it: a read that stops early leaves while the worker may still be at work.
    ObjectsPrepared prepared;
    SObjectFileRead objects(record.objectFile, mProgressBytes);
    if (mWorkerThreads) {
        objects.setAfterRead([this, observationFile = record.observationFile, &prepared](SObjectPointList &points) {
            prepareMerge(points, observationFile, prepared);
        });
        objects.start();
        mObjectBytesAhead = QFileInfo(record.objectFile).size();
    }
    mObjectsAhead = &objects;
    const bool imagesRead = ReadImageFiles(record.imageFile, record.orientationFile);
    mObjectsAhead = nullptr; // also when the images' read throws: objects stops the worker
    mObjectBytesAhead = 0;
    if (!imagesRead)
        return false;
    if (mWorkerThreads)
        objects.wait();
    else
        objects.run();
    if (!mergeObjectFiles(objects, record.observationFile, mWorkerThreads ? &prepared : nullptr))
        return false;
    if (!camera.isEmpty() && QFileInfo::exists(cameraFile)) {
        ReadPATCameraFile(cameraFile);
        if (mStopped)
            return false;
    } else {
        Mu::info("%s", qUtf8Printable(
                           Mu::tr("Camera file not found! Will fit image coordinates within their extreme values.")));
    }
    mHandler.dataInputComplete();
    return true;
}

void SPatbReader::readError(const QString &message, bool discard)
{
    mStopped = true;
    // The answer may open another project or end the program: no worker reads on.
    if (mObjectsAhead)
        mObjectsAhead->stop();
    switch (mHandler.readError(message)) {
    case SReadErrorChoice::OpenOther:
        if (discard)
            discardImages();
        mHandler.requestOtherProjectFile();
        break;
    case SReadErrorChoice::Quit: Mu::fatal("%s", qUtf8Printable(Mu::tr("Quitting ...")));
    case SReadErrorChoice::Stop: break;
    }
}

void SPatbReader::discardImages()
{
    mData.dropPointCodes();
    SImage::clearPointIndex();
    mData.mListImageData.clear();
}

void SPatbReader::applyStatistics(const SObjectFileRead::Statistics &statistics)
{
    if (statistics.seen) {
        mData.projectFiles->sigma0 = statistics.sigma0;
        mData.projectFiles->averageRedundancy = statistics.averageRedundancy;
    }
    if (statistics.inversionRead)
        mData.projectFiles->inversion = statistics.inversion;
}

bool SPatbReader::reportProgress(const QString &file, qint64 done, qint64 total)
{
    if (!mHandler.progress(file, done, total))
        mStopped = true;
    return !mStopped;
}

// ---- (i) and (e) --------------------------------------------------------------------------

bool SPatbReader::ReadImageFiles(const QString &imageFile, const QString &orientationFile)
{
    SRecordFile images(imageFile, SImageRecords::kRecordSize, SImageRecords::kWindowBytes);
    if (!images.open()) {
        readError(Mu::tr(kCannotOpen).arg(imageFile), false);
        return false;
    }
    SRecordFile orientations(orientationFile, kOrientationRecordSize);
    if (!orientations.open()) {
        readError(Mu::tr(kCannotOpen).arg(orientationFile), false);
        return false;
    }
    // The size changes only where the file ends early, after the last record.
    const qint64 total = images.size();
    ImageReadState state{.nextProgress = mProgressBytes};
    SImageRecordCursor records(images);
    const std::unique_ptr<SImageFileRange> later = startLaterImages(imageFile, total);
    if (later)
        images.setEnd(later->from());
    if (!fillImages(records, imageFile, total, orientations, state))
        return false;
    if (later) {
        images.releaseWindow(); // the worker's window is still needed
        later->wait();
        if (later->regular())
            return takeLaterImages(*later, imageFile, total, orientations, state);
        images.setEnd(total); // read in order instead
        if (!fillImages(records, imageFile, total, orientations, state))
            return false;
    }
    warnLeftover(imageFile, records.leftover());
    return true;
}

// The part of (i) after an image header read on a worker, when the file is large enough for
// it to pay. The reading thread keeps about as much work as the workers share, (o) included.
std::unique_ptr<SImageFileRange> SPatbReader::startLaterImages(const QString &imageFile, qint64 size)
{
    if (!mWorkerThreads || size < mSplitFrom || size < 2 * SImageRecords::kRecordSize)
        return nullptr;
    const bool sharedCore = std::thread::hardware_concurrency() <= 2;
    const qint64 objectBytes = sharedCore ? mObjectBytesAhead * 3 / 4 : 0; // (o) costs less per byte
    const qint64 from = SImageFileRange::findHeader(imageFile, (size + objectBytes) / 2);
    if (from <= 0 || from >= size)
        return nullptr;
    auto later = std::make_unique<SImageFileRange>(imageFile, from, size);
    later->start();
    return later;
}

// The images of (i) in file order, up to the file's end as set; total is the file's size at
// opening, as the progress reports give it.
bool SPatbReader::fillImages(SImageRecordCursor &records, const QString &imageFile, qint64 total,
                             SRecordFile &orientations, ImageReadState &state)
{
    while (records.next()) {
        if (records.bytesRead() >= state.nextProgress) {
            state.nextProgress += mProgressBytes;
            if (!reportProgress(imageFile, records.bytesRead(), total))
                return false;
        }
        const SImageRecord::Kind kind = records.kind();
        if (kind == SImageRecord::Header) {
            state.unfinished = std::make_unique<SImage>(); // an image left without trailer goes
            state.unfinished->setId(records.id());
            state.unfinished->reservePoints(records.pointsAhead());
            state.current = state.unfinished.get();
            continue;
        }
        if (!state.current) {
            // No image is open: points or a trailer before the first header.
            if (!state.warnedOrphans)
                Mu::warn(
                    qUtf8Printable(Mu::tr("File (i) '%s': records outside of an image header and trailer ignored.")),
                    text(imageFile).constData());
            state.warnedOrphans = true;
            continue;
        }
        if (kind == SImageRecord::Point) {
            records.addPoint(*state.current);
            // The rest of the header's points in one run, up to the record of the next report.
            records.addKnownPoints(*state.current,
                                   (state.nextProgress - records.bytesRead() - 1) / SImageRecords::kRecordSize);
            continue;
        }
        closeImage(*state.current, orientations);
        // A second trailer of the same image: the list owns it already.
        if (state.unfinished)
            mData.mListImageData.append(state.unfinished.release());
    }
    return true;
}

// The images a worker read from a header on, taken over in file order as a read record by
// record meets them: the point index, the progress reports before each trailer, the
// orientations and the projection centres.
bool SPatbReader::takeLaterImages(SImageFileRange &later, const QString &imageFile, qint64 total,
                                  SRecordFile &orientations, ImageReadState &state)
{
    state.unfinished.reset();      // the header that starts the part ends an image left without trailer
    qint64 checked = later.from(); // the end of the last record a read in order has looked at
    for (SImageFileRange::Image &taken : later.images()) {
        SImage &image = *taken.image;
        if (image.numberOfPoints() > 0)
            image.enterPointIndex();
        // A record reports when it ends at or after the next report's place; each record once.
        for (qint64 at; (at = std::max(checked + SImageRecords::kRecordSize,
                                       roundUp(state.nextProgress, SImageRecords::kRecordSize))) <= taken.trailerEnd;) {
            checked = at;
            state.nextProgress += mProgressBytes;
            if (!reportProgress(imageFile, at, total))
                return false;
        }
        checked = taken.trailerEnd;
        state.current = &image;
        closeImage(image, orientations);
        mData.mListImageData.append(taken.image.release());
    }
    warnLeftover(imageFile, later.leftover());
    return true;
}

// At the trailer of an image: its orientation, the next record of (e), and its projection
// centre as an object point.
void SPatbReader::closeImage(SImage &image, SRecordFile &orientations)
{
    const char *e = orientations.next();
    if (!e || SRecord::idAt(e, 2) != image.id())
        throw SException(kErrImageSequence, "Varlomin::ReadImageFiles: Sequences in files (i) and (e) don't fit!");
    const int imageNumber = SRecord::idAt(e, 2);
    const float X0 = float(SRecord::float64At(e, 22));
    const float Y0 = float(SRecord::float64At(e, 30));
    const float Z0 = float(SRecord::float64At(e, 38));
    const float sX = sigmaOf(SRecord::float64At(e, 46));
    const float sY = sigmaOf(SRecord::float64At(e, 54));
    const float sZ = sigmaOf(SRecord::float64At(e, 62));
    image.setCameraId(SRecord::idAt(e, 12));
    image.setProjectionCentre(imageNumber, X0, Y0, Z0, sX, sY, sZ);
    mData.mListObjectData.append(SObjectPoint(imageNumber, SGlobal::kCodeProjectionCentre, X0, Y0, Z0, sX, sY, sZ));
    image.squeeze();
}

// ---- (o) and (c) --------------------------------------------------------------------------

bool SPatbReader::ReadObjectFiles(const QString &objectFile, const QString &observationFile)
{
    SObjectFileRead objects(objectFile, mProgressBytes);
    objects.run();
    return mergeObjectFiles(objects, observationFile);
}

// The (o) file read (maybe while the images were read), then (c): what a read in file order
// reports and keeps, at the same places.
bool SPatbReader::mergeObjectFiles(SObjectFileRead &objects, const QString &observationFile,
                                   const ObjectsPrepared *prepared)
{
    if (!objects.opened()) {
        readError(Mu::tr(kCannotOpen).arg(objects.name()), true);
        return false;
    }
    SRecordFile observations(observationFile, kObservationRecordSize);
    if (!observations.open()) {
        readError(Mu::tr(kCannotOpen).arg(observationFile), false);
        return false;
    }
    if (!mData.projectFiles)
        mData.projectFiles = std::make_unique<ProjectFiles>();

    int kept = objects.points().count();
    SObjectFileRead::Statistics statistics = objects.statistics();
    bool cancelled = false;
    for (const SObjectFileRead::Checkpoint &checkpoint : objects.checkpoints()) {
        if (!reportProgress(objects.name(), checkpoint.done, checkpoint.total)) {
            kept = checkpoint.points;
            statistics = checkpoint.statistics;
            cancelled = true;
            break;
        }
    }
    objects.points().keepFirst(kept);
    // The points appended keep their addresses when the list they go to is the shorter one.
    const int before = mData.mListObjectData.count();
    if (before >= objects.points().count())
        prepared = nullptr;
    mData.mListObjectData.appendAll(objects.points());
    applyStatistics(statistics);
    if (cancelled)
        return false;
    if (objects.failure())
        std::rethrow_exception(objects.failure());
    warnLeftover(objects.name(), objects.leftover());
    // The object points are complete: their codes may go to the image points meanwhile.
    if (mWorkerThreads)
        mData.startPointCodes(prepared ? prepared->codes : nullptr);

    // In batches, so that the points of a batch are looked up together.
    std::vector<Observation> batch;
    std::vector<int> ids;
    std::vector<SObjectPoint *> points;
    bool more = true;
    while (more) {
        batch.clear();
        while (batch.size() < kObservationBatch) {
            const char *r = observations.next();
            if (!r)
                break;
            batch.push_back({SRecord::int16At(r, 0), SRecord::int16At(r, 2), SRecord::idAt(r, 4),
                             SRecord::float64At(r, 14), SRecord::float64At(r, 22), SRecord::float64At(r, 30)});
        }
        more = batch.size() == kObservationBatch;
        ids.resize(batch.size());
        points.resize(batch.size());
        for (size_t i = 0; i < batch.size(); ++i)
            ids[i] = batch[i].id;
        findObservedPoints(ids, points, prepared, before);
        prepared = nullptr; // it holds the first batch
        for (size_t i = 0; i < batch.size(); ++i)
            applyObservation(batch[i], points[i]);
    }
    warnLeftover(observations);
    return true;
}

void SPatbReader::prepareMerge(SObjectPointList &points, const QString &observationFile,
                               ObjectsPrepared &prepared) const
{
    if (mData.codesWhileReading()) {
        auto codes = std::make_shared<SPointCodeTable>();
        codes->build(points);
        prepared.codes = std::move(codes);
    }
    SRecordFile observations(observationFile, kObservationRecordSize);
    if (!observations.open())
        return;
    std::vector<int> ids;
    while (ids.size() < kObservationBatch) {
        const char *r = observations.next();
        if (!r)
            break;
        ids.push_back(SRecord::idAt(r, 4));
    }
    std::vector<SObjectPoint *> found(ids.size());
    points.findEach(ids, found);
    // Only a look-up that went through is handed on.
    prepared.found = std::move(found);
    prepared.ids = std::move(ids);
}

void SPatbReader::findObservedPoints(std::span<const int> ids, std::span<SObjectPoint *> points,
                                     const ObjectsPrepared *prepared, int before)
{
    SObjectPointList &list = mData.mListObjectData;
    if (!prepared || !std::equal(ids.begin(), ids.end(), prepared->ids.begin(), prepared->ids.end())) {
        list.findEach(ids, points); // (c) changed since, or nothing was prepared
        return;
    }
    // A point before the worker's ones comes first: the projection centres read with (i).
    std::unordered_map<int, SObjectPoint *> earlier;
    earlier.reserve(size_t(before));
    for (int i = 0; i < before; ++i)
        earlier.emplace(list.at(i)->id(), list.at(i));
    for (size_t i = 0; i < ids.size(); ++i) {
        const auto it = earlier.find(ids[i]);
        points[i] = it != earlier.end() ? it->second : prepared->found[i];
    }
}

// ---- camera file --------------------------------------------------------------------------

bool SPatbReader::ReadPATCameraFile(const QString &cameraFile)
{
    Mu::debug("Varlomin::ReadPATCameraFile");
    SRecordFile file(cameraFile, kCameraRecordSize);
    if (!file.open()) {
        readError(Mu::tr(kCannotOpen).arg(cameraFile), true);
        return false;
    }
    if (mData.mListImageData.isEmpty()) {
        Mu::warn("%s", qUtf8Printable(Mu::tr("No image loaded to extract camera ID from.")));
        return false;
    }
    const int imageCameraId = mData.mListImageData.first()->cameraId();

    const char *r = file.next();
    if (!r) {
        Mu::warn(qUtf8Printable(Mu::tr("Camera file '%s' is shorter than one record (%d bytes).")),
                 text(cameraFile).constData(), kCameraRecordSize);
        return false;
    }
    bool isNumber = false;
    const int cameraId = QString::fromLatin1(r, kCameraIdLength).trimmed().toInt(&isNumber, 10);
    if (!isNumber) {
        Mu::warn(qUtf8Printable(Mu::tr("Camera ID in '%s' is no number! Can't compare with Camera ID of images.")),
                 text(cameraFile).constData());
        return false;
    }
    if (cameraId != imageCameraId)
        return true;

    const double left = SRecord::float64At(r, 178);
    const double upper = SRecord::float64At(r, 186);
    const double width = SRecord::float64At(r, 194);
    const double height = SRecord::float64At(r, 202);
    for (SImage *image : mData.mListImageData) {
        image->setXmin(float(left));
        image->setXmax(float(left + width));
        image->setYmax(float(upper));
        image->setYmin(float(upper - height));
    }
    return true;
}
