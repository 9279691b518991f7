// SPDX-License-Identifier: GPL-3.0-or-later
// The text encoding of a COLMAP model: cameras.txt, images.txt (two lines per image) and
// points3D.txt; lines starting with '#' are comments.
#include "formats/SColmapReader.h"
#include "formats/STextSource.h"
#include "formats/STokenStream.h"
#include "framework/Mu.h"

#include <QDir>

#include <algorithm>

namespace {

constexpr int64_t kNoPoint3D = -1;
constexpr const char *kBlanks = " \t\r\v\f";

// Tokens of one line with the conversions and messages of one file.
class LineParser {
public:
    LineParser(STextSource &source) : mSource(source) {}

    void start(std::string_view line) { mRest = line; }
    bool next(std::string_view *token)
    {
        const size_t first = mRest.find_first_not_of(kBlanks);
        if (first == std::string_view::npos)
            return false;
        const size_t end = std::min(mRest.find_first_of(kBlanks, first), mRest.size());
        *token = mRest.substr(first, end - first);
        mRest = mRest.substr(end);
        return true;
    }
    bool atEnd() const { return mRest.find_first_not_of(kBlanks) == std::string_view::npos; }

    bool number(const char *what, double *value)
    {
        std::string_view token;
        if (!next(&token))
            return fail(Mu::tr("the line ends where the %1 should be").arg(QLatin1String(what)));
        if (!STextNumber::toDouble(token, value))
            return fail(Mu::tr("%1 %2 is no finite number").arg(QLatin1String(what), STextNumber::quoted(token)));
        return true;
    }
    bool integer(const char *what, int64_t *value)
    {
        std::string_view token;
        if (!next(&token))
            return fail(Mu::tr("the line ends where the %1 should be").arg(QLatin1String(what)));
        if (STextNumber::toInt64(token, value))
            return true;
        const bool digits =
            !token.empty() && std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
        return fail(
            digits
                ? Mu::tr("%1 %2 is larger than Varlomin can hold").arg(QLatin1String(what), STextNumber::quoted(token))
                : Mu::tr("%1 %2 is no whole number").arg(QLatin1String(what), STextNumber::quoted(token)));
    }
    bool fail(const QString &problem)
    {
        if (mError.isEmpty())
            mError = Mu::tr("COLMAP model file '%1', line %2: %3")
                         .arg(QDir::toNativeSeparators(mSource.name()))
                         .arg(mSource.lineNumber())
                         .arg(problem);
        return false;
    }
    QString error() const { return mError; }

private:
    STextSource &mSource;
    std::string_view mRest;
    QString mError;
};

bool isComment(std::string_view line)
{
    const size_t first = line.find_first_not_of(kBlanks);
    return first == std::string_view::npos || line[first] == '#';
}

// Calls parseLine for each line that is no comment (and parseLine may take further lines).
template <typename ParseLine>
bool eachLine(const QString &file, QString *error, const SColmapReader::ProgressFn &progress, ParseLine parseLine)
{
    STextSource source(file);
    if (!source.open()) {
        *error = source.error();
        return false;
    }
    LineParser parser(source);
    std::string_view line;
    while (source.nextLine(&line)) {
        if (isComment(line))
            continue;
        parser.start(line);
        if (!parseLine(source, parser)) {
            *error = parser.error();
            return false;
        }
        if (progress && !progress(file, source.filePosition()))
            return false;
    }
    *error = source.error();
    return error->isEmpty();
}

bool parseCamera(LineParser &p, SColmapCamera *camera)
{
    std::string_view name;
    if (!p.integer("camera id", &camera->id) || !p.next(&name))
        return p.fail(Mu::tr("a camera line is: id, model, width, height, parameters"));
    camera->model = SColmapCamera::modelByName(name);
    if (!camera->model)
        return p.fail(Mu::tr("camera model %1 is unknown; Varlomin reads %2")
                          .arg(STextNumber::quoted(name), SColmapCamera::supportedNames()));
    if (!camera->model->supported)
        return p.fail(Mu::tr("camera model %1 is not supported; Varlomin reads %2")
                          .arg(QLatin1String(camera->model->name), SColmapCamera::supportedNames()));
    if (!p.integer("width", &camera->width) || !p.integer("height", &camera->height))
        return false;
    if (camera->width <= 0 || camera->height <= 0)
        return p.fail(Mu::tr("width and height must be positive"));
    camera->params.resize(size_t(camera->model->parameters));
    for (double &v : camera->params)
        if (!p.number("camera parameter", &v))
            return false;
    if (!p.atEnd())
        return p.fail(Mu::tr("camera model %1 has %2 parameters, the line more")
                          .arg(QLatin1String(camera->model->name))
                          .arg(camera->model->parameters));
    return true;
}

bool parseImage(STextSource &source, LineParser &p, SColmapImage *image)
{
    int64_t camera = 0;
    if (!p.integer("image id", &image->id))
        return false;
    for (double &v : image->q)
        if (!p.number("quaternion", &v))
            return false;
    for (double &v : image->t)
        if (!p.number("translation", &v))
            return false;
    if (!p.integer("camera id", &camera))
        return false;
    image->cameraId = camera;
    // The second line, even when empty, holds the 2D points: x, y, 3D point id.
    std::string_view line;
    if (!source.nextLine(&line))
        return p.fail(Mu::tr("the file ends where the 2D points of image %1 should be").arg(image->id));
    p.start(line);
    for (uint32_t index = 0; !p.atEnd(); ++index) {
        SColmapImage::Observation o{index, 0.0, 0.0, 0};
        if (!p.number("x", &o.x) || !p.number("y", &o.y) || !p.integer("3D point id", &o.point))
            return false;
        if (o.point < kNoPoint3D)
            return p.fail(Mu::tr("3D point id %1 is negative").arg(o.point));
        if (o.point != kNoPoint3D)
            image->observations.push_back(o);
        ++image->pointCount;
    }
    return true;
}

bool parsePoint(LineParser &p, SColmapPoint *point)
{
    double colour = 0.0;
    if (!p.integer("3D point id", &point->id))
        return false;
    for (double &v : point->xyz)
        if (!p.number("coordinate", &v))
            return false;
    for (int i = 0; i < 3; ++i)
        if (!p.number("colour", &colour))
            return false;
    if (!p.number("error", &point->error))
        return false;
    while (!p.atEnd()) {
        SColmapPoint::TrackElement e{};
        if (!p.integer("track image id", &e.image) || !p.integer("track 2D point index", &e.index))
            return false;
        point->track.push_back(e);
    }
    return true;
}

} // namespace

namespace SColmapText {

bool read(const QString &folder, SColmapModel *model, QString *error, const SColmapReader::ProgressFn &progress)
{
    const QDir dir(folder);
    return eachLine(dir.filePath(QStringLiteral("cameras.txt")), error, progress,
                    [model](STextSource &, LineParser &p) {
                        SColmapCamera camera;
                        if (!parseCamera(p, &camera))
                            return false;
                        model->cameras.push_back(std::move(camera));
                        return true;
                    }) &&
           eachLine(dir.filePath(QStringLiteral("images.txt")), error, progress,
                    [model](STextSource &source, LineParser &p) {
                        SColmapImage image;
                        if (!parseImage(source, p, &image))
                            return false;
                        model->images.push_back(std::move(image));
                        return true;
                    }) &&
           eachLine(dir.filePath(QStringLiteral("points3D.txt")), error, progress,
                    [model](STextSource &, LineParser &p) {
                        SColmapPoint point;
                        if (!parsePoint(p, &point))
                            return false;
                        model->points.push_back(std::move(point));
                        return true;
                    });
}

} // namespace SColmapText
