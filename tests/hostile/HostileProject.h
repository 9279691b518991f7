// A small, complete PAT-B project written record by record, the message capture and the
// read handler shared by the hostile-input tests.
#pragma once

#include "Mu.h"
#include "PatbWriter.h"
#include "SException.h"
#include "SPatbReader.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

namespace Hostile {

constexpr int kCameraId = 1;
constexpr int kImageCount = 2;
constexpr int kObjectPointCount = 3;

// Collects every warning and error dialog; the dialogs answer "stop this read". A read may be
// cancelled from the progress notice once it passed cancelAfterBytes.
class Capture : public SPatbHandler {
public:
    Capture()
    {
        Mu::setSink([this](Mu::Level level, const QString &text) {
            if (level == Mu::Level::Warn)
                warnings << text;
        });
    }
    ~Capture() override { Mu::setSink({}); }

    SReadErrorChoice readError(const QString &text) override
    {
        dialogs << text;
        return SReadErrorChoice::Stop;
    }
    bool progress(const QString &, qint64 done, qint64 total) override
    {
        progressDone = done;
        progressTotal = total;
        return cancelAfterBytes < 0 || done < cancelAfterBytes;
    }

    bool warned(const QString &part) const { return !warnings.filter(part).isEmpty(); }

    QStringList warnings;
    QStringList dialogs;
    qint64 cancelAfterBytes = -1;
    qint64 progressDone = 0;
    qint64 progressTotal = 0;
};

// The result of one read: what the model holds and the exception that ended it, if any.
struct ReadResult {
    bool completed = false;
    std::optional<int> exceptionCode;
    int images = 0;
    int objectPoints = 0;
};

inline ReadResult readProject(const QString &projectFile, Capture &capture)
{
    SProjectData data;
    SPatbReader reader(data, capture);
    ReadResult result;
    try {
        result.completed = reader.readProjectFile(projectFile);
        data.initialise();
    } catch (const SException &e) {
        result.exceptionCode = e.code();
    }
    result.images = data.mListImageData.count();
    result.objectPoints = int(data.mListObjectData.count());
    return result;
}

// block.(p) with its (i), (e), (o), (c) and camera files in dir.
struct Files {
    QByteArray image, orientation, object, observation, camera, project;
};

inline Files goodFiles()
{
    using namespace PatbWriter;
    Files f;
    for (int image = 1; image <= kImageCount; ++image) {
        f.image += imageHeader(image) + imagePoint(0, 101, -10.0, 5.0, 0.002, -0.001)
                   + imagePoint(0, 102, 20.0, -15.0, 0.003, 0.004) + imagePoint(7, 103, 0.5, 0.5, 0.1, 0.2)
                   + imageTrailer();
        f.orientation += orientationRecord(image, kCameraId, 1000.0 * image, 500.0, 1500.0, 4.0, 9.0, 16.0);
    }
    f.object = statisticsRecord(0.8, 2.5, kInversionDone);
    for (int point = 101; point < 101 + kObjectPointCount; ++point)
        f.object += objectRecord(3, point, 900.0 + point, 450.0 + point, 100.0, 0.01, 0.01, 0.04);
    f.observation = observationRecord(OT_ControlX, 0, 101, 1001.0, 0.012, 0.5)
                    + observationRecord(OT_CentreZ, 1, 2, 1500.0, -0.1, 0.2);
    f.camera = cameraRecord(kCameraId, -115.0, 115.0, 230.0, 230.0);
    f.project = projectFile(projectFileNames(QStringLiteral("block"), QStringLiteral("block.cam")));
    return f;
}

inline QString writeProject(const QString &dir, const Files &f)
{
    const QDir d(dir);
    PatbWriter::writeFile(d.filePath("block.(i)"), f.image);
    PatbWriter::writeFile(d.filePath("block.(e)"), f.orientation);
    PatbWriter::writeFile(d.filePath("block.(o)"), f.object);
    PatbWriter::writeFile(d.filePath("block.(c)"), f.observation);
    PatbWriter::writeFile(d.filePath("block.cam"), f.camera);
    PatbWriter::writeFile(d.filePath("block.(p)"), f.project);
    return d.filePath("block.(p)");
}

// Peak resident memory of this process in kilobytes (VmHWM), 0 when unknown.
inline qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace Hostile
