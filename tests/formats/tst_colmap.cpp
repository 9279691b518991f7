// SPDX-License-Identifier: GPL-3.0-or-later
// COLMAP sparse models: a projection worked out by hand, text and binary models that must read the
// same, COLMAP's own per-point errors against ours (with COLMAP installed), and damaged models.
#include "formats/SColmapReader.h"
#include "formats/SProjectOpener.h"
#include "tests/formats/ColmapWriter.h"
#include "tests/formats/FormatsFixture.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>
#include <map>

using namespace FormatsFixture;
using ColmapWriter::Model;

namespace {

constexpr int kPointCount = 12;
constexpr double kTolerancePixels = 1e-3;

// One image per supported camera model, every point seen by every image, observations a few
// pixels off an undistorted pinhole projection so that each model's distortion shows.
Model everyCameraModel()
{
    const std::vector<std::pair<QByteArray, std::vector<double>>> models = {
        {"SIMPLE_PINHOLE", {500, 320, 240}},
        {"PINHOLE", {500, 510, 320, 240}},
        {"SIMPLE_RADIAL", {500, 320, 240, 0.01}},
        {"RADIAL", {500, 320, 240, 0.01, -0.002}},
        {"OPENCV", {500, 510, 320, 240, 0.01, -0.002, 0.001, 0.0005}},
        {"OPENCV_FISHEYE", {400, 410, 320, 240, 0.02, 0.01, -0.001, 0.0002}},
        {"FULL_OPENCV", {500, 505, 320, 240, 0.01, 0.002, 0.001, -0.001, 0.0001, 0.001, 0.0002, 0.0001}},
        {"SIMPLE_RADIAL_FISHEYE", {400, 320, 240, 0.01}},
        {"RADIAL_FISHEYE", {400, 320, 240, 0.01, 0.001}}};
    const int modelIds[] = {0, 1, 2, 3, 4, 5, 6, 8, 9};
    QRandomGenerator random(17);
    auto uniform = [&random](double a, double b) { return a + (b - a) * random.generateDouble(); };
    Model m;
    for (int k = 0; k < kPointCount; ++k)
        m.points.push_back({uint64_t(1000 + 7 * k), {uniform(-1, 1), uniform(-1, 1), uniform(-0.5, 0.5)}, 0.0, {}});
    for (size_t i = 0; i < models.size(); ++i) {
        const uint32_t id = uint32_t(10 + i);
        m.cameras.push_back({uint32_t(i + 1), models[i].first, modelIds[i], 640, 480, models[i].second});
        const double angle = 0.05 * double(i);
        ColmapWriter::Image image{id,
                                  {std::cos(angle / 2), 0, std::sin(angle / 2), 0},
                                  {0.1 * double(i), -0.2, 5},
                                  uint32_t(i + 1),
                                  "image" + QByteArray::number(id) + ".jpg",
                                  {}};
        image.points.push_back({1, 1, -1}); // a 2D point without a 3D point
        for (ColmapWriter::Point3D &p : m.points) {
            const double z = p.xyz[2] + 5;
            image.points.push_back({(p.xyz[0] + 0.1 * double(i)) / z * 500 + 320 + uniform(-2, 2),
                                    (p.xyz[1] - 0.2) / z * 500 + 240 + uniform(-2, 2), int64_t(p.id)});
            p.track.push_back({id, uint32_t(image.points.size() - 1)});
        }
        m.images.push_back(image);
    }
    return m;
}

} // namespace

class TestColmap : public QObject {
    Q_OBJECT
private slots:
    void init() { mDir = std::make_unique<QTemporaryDir>(); }

    void handWorked()
    {
        // Rotated 90 degrees about z, t = (1, 2, 3): centre -R^T t = (-2, 1, -3). The point at the
        // origin lies at (1, 2, 3) in the camera: u = 1/3, v = 2/3, pixel (320 + 500/3, 240 + 1000/3).
        const double h = std::sqrt(0.5);
        Model m;
        m.cameras.push_back({4, "SIMPLE_PINHOLE", 0, 640, 480, {500, 320, 240}});
        m.images.push_back({7, {h, 0, 0, h}, {1, 2, 3}, 4, "a.jpg", {{500, 570, 42}}});
        m.points.push_back({42, {0, 0, 0}, 0.0, {{7, 0}}});
        ColmapWriter::writeText(m, path("hand"));
        SProjectData data;
        StopHandler capture;
        QVERIFY2(SProjectOpener::read(path("hand/images.txt"), data, capture), qPrintable(capture.error()));
        const SImage *image = SImageList::find(7);
        QVERIFY(image && image->cameraId() == 4);
        const SImagePoint *point = image->imagePoint(42);
        QVERIFY(point);
        // The y axis is flipped; the residual is observed - projected in the flipped axes.
        QCOMPARE(point->y(), -570.0f);
        QVERIFY(std::abs(point->vx() - (500 - (320 + 500.0 / 3))) < 1e-3);
        QVERIFY(std::abs(point->vy() - (-570 + (240 + 1000.0 / 3))) < 1e-3);
        QVERIFY(std::abs(image->X0() + 2) < 1e-6 && std::abs(image->Y0() - 1) < 1e-6 &&
                std::abs(image->Z0() + 3) < 1e-6);
        QCOMPARE(image->xmin(), 0.0f);
        QCOMPARE(image->xmax(), 640.0f);
        QCOMPARE(image->ymin(), -480.0f);
        QCOMPARE(image->ymax(), 0.0f);
        QVERIFY(data.mListObjectData.find(42));
        QVERIFY(!data.projectFiles->inversion);
        data.close();
    }

    void textAndBinaryIdentical()
    {
        const Model m = everyCameraModel();
        ColmapWriter::writeText(m, path("text"));
        ColmapWriter::writeBinary(m, path("binary"));
        QString error;
        const QByteArray text = modelDump(path("text"), &error);
        QVERIFY2(!text.isEmpty(), qPrintable(error));
        QCOMPARE(modelDump(path("binary"), &error), text);

        // COLMAP's own converter, both ways, when it is installed.
        if (!TestFiles::hasProgram(QStringLiteral("colmap")))
            QSKIP("colmap is not installed: the converted models are not compared");
        for (const auto &[from, to, type] :
             {std::tuple{"text", "converted-bin", "BIN"}, std::tuple{"binary", "converted-txt", "TXT"}}) {
            QDir().mkpath(path(to));
            QVERIFY(!runProgram(QStringLiteral("colmap"),
                                {QStringLiteral("model_converter"), QStringLiteral("--input_path"), path(from),
                                 QStringLiteral("--output_path"), path(to), QStringLiteral("--output_type"),
                                 QLatin1String(type)})
                         .isNull());
            QCOMPARE(modelDump(path(to), &error), text);
        }
    }

    void errorsAgreeWithColmap()
    {
        if (!TestFiles::hasProgram(QStringLiteral("colmap")))
            QSKIP("colmap is not installed");
        // COLMAP computes every point's mean reprojection error when it filters points; with limits
        // that filter nothing it only writes the errors.
        ColmapWriter::writeBinary(everyCameraModel(), path("model"));
        QDir().mkpath(path("filtered"));
        QDir().mkpath(path("filtered-txt"));
        const QStringList filter = {QStringLiteral("point_filtering"),
                                    QStringLiteral("--input_path"),
                                    path("model"),
                                    QStringLiteral("--output_path"),
                                    path("filtered"),
                                    QStringLiteral("--min_track_len"),
                                    QStringLiteral("2"),
                                    QStringLiteral("--max_reproj_error"),
                                    QStringLiteral("1e9"),
                                    QStringLiteral("--min_tri_angle"),
                                    QStringLiteral("0")};
        QVERIFY(!runProgram(QStringLiteral("colmap"), filter).isNull());
        QVERIFY(!runProgram(QStringLiteral("colmap"),
                            {QStringLiteral("model_converter"), QStringLiteral("--input_path"), path("filtered"),
                             QStringLiteral("--output_path"), path("filtered-txt"), QStringLiteral("--output_type"),
                             QStringLiteral("TXT")})
                     .isNull());
        // COLMAP's errors, read from its text file: id, x, y, z, r, g, b, error, track.
        QFile points(path("filtered-txt/points3D.txt"));
        QVERIFY(points.open(QIODevice::ReadOnly));
        std::map<int, double> colmapError;
        for (const QByteArray &line : points.readAll().split('\n'))
            if (!line.isEmpty() && !line.startsWith('#'))
                colmapError[line.split(' ')[0].toInt()] = line.split(' ')[7].toDouble();
        QCOMPARE(int(colmapError.size()), kPointCount);

        SProjectData data;
        StopHandler capture;
        QVERIFY2(SProjectOpener::read(path("filtered"), data, capture), qPrintable(capture.error()));
        for (const auto &[id, expected] : colmapError) {
            double sum = 0.0;
            const SImageLinks images = SImage::imagesOfPoint(id);
            for (SImage *image : images) {
                const SImagePoint *p = image->imagePoint(id);
                sum += std::hypot(double(p->vx()), double(p->vy()));
            }
            const double ours = sum / images.count();
            QVERIFY2(std::abs(ours - expected) < kTolerancePixels,
                     qPrintable(QStringLiteral("point %1: %2 against COLMAP's %3").arg(id).arg(ours).arg(expected)));
        }
        data.close();
    }

    void damagedModels_data()
    {
        QTest::addColumn<bool>("binary");
        QTest::addColumn<std::function<void(Model &)>>("damage");
        QTest::addColumn<QString>("problem");
        using Damage = std::function<void(Model &)>;
        const std::vector<std::tuple<const char *, Damage, QString, QString>> rows = {
            {"refused model",
             [](Model &m) {
                 m.cameras[0] = {1, "FOV", 7, 640, 480, {500, 500, 320, 240, 0.1}};
             },
             "line 2: camera model FOV is not supported", "camera record 1: camera model FOV is not supported"},
            {"missing camera", [](Model &m) { m.images[0].camera = 99; }, "image 10 names camera 99",
             "image 10 names camera 99"},
            {"track names no image", [](Model &m) { m.points[0].track[0].first = 77; }, "names image 77, which images",
             "names image 77, which images"},
            {"track names no 2D point", [](Model &m) { m.points[0].track[0].second = 500; }, "2D point 500 of image 10",
             "2D point 500 of image 10"},
            {"3D point missing", [](Model &m) { m.points.erase(m.points.begin()); },
             "names 3D point 1000, which points3D", "names 3D point 1000, which points3D"},
            {"64-bit point id",
             [](Model &m) {
                 m.points[0].id = uint64_t(1) << 40;
                 m.images[0].points[1].point = int64_t(1) << 40;
                 m.points[0].track.resize(1);
             },
             "3D point id 1099511627776 is outside 0..2147483647",
             "3D point id 1099511627776 is outside 0..2147483647"},
            {"nan", [](Model &m) { m.points[3].xyz[1] = std::nan(""); }, "line 5: coordinate 'nan' is no finite number",
             "3D point record 4: the coordinate is not a finite number"},
            {"camera id beyond int",
             [](Model &m) {
                 m.cameras[0].id = 3000000000u;
                 m.images[0].camera = 3000000000u;
             },
             "camera id 3000000000 is outside", "camera id 3000000000 is outside"},
            {"zero quaternion", [](Model &m) { m.images[0].q[0] = 0; }, "image 10 has a zero rotation quaternion",
             "image 10 has a zero rotation quaternion"},
        };
        for (const auto &[name, damage, textProblem, binaryProblem] : rows) {
            QTest::newRow((QByteArray(name) + " text").constData()) << false << damage << textProblem;
            QTest::newRow((QByteArray(name) + " binary").constData()) << true << damage << binaryProblem;
        }
    }
    void damagedModels()
    {
        QFETCH(bool, binary);
        QFETCH(std::function<void(Model &)>, damage);
        QFETCH(QString, problem);
        Model m = everyCameraModel();
        damage(m);
        if (binary)
            ColmapWriter::writeBinary(m, path("m"));
        else
            ColmapWriter::writeText(m, path("m"));
        SProjectData data;
        StopHandler capture;
        QVERIFY(!SProjectOpener::read(path("m"), data, capture));
        QVERIFY2(capture.error().contains(problem) && capture.error().contains(path("m")), qPrintable(capture.error()));
        QCOMPARE(data.mListImageData.count(), 0);
    }

private:
    QString path(const QString &name) const { return mDir->filePath(name); }
    std::unique_ptr<QTemporaryDir> mDir;
};

QTEST_GUILESS_MAIN(TestColmap)
#include "tst_colmap.moc"
