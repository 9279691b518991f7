// SPDX-License-Identifier: GPL-3.0-or-later
// BAL problems and Bundler files: residuals, projection centres and statistics of blocks whose
// projections are worked out by hand, compressed and plain files alike, real problems against a
// reference cost computed independently, and damaged files.
#include "formats/SProjectOpener.h"
#include "formats/SReportRun.h"
#include "formats/SSnavelyReader.h"
#include "tests/formats/FormatsFixture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace FormatsFixture;

namespace {

struct Camera {
    double w[3]; // Rodrigues vector
    double R[9]; // the same rotation as a matrix, for Bundler
    double t[3];
    double f, k1, k2;
};

QByteArray numbers(std::initializer_list<double> values)
{
    QByteArray line;
    for (double v : values)
        line += QByteArray::number(v, 'g', 17) + ' ';
    line.chop(1);
    return line + '\n';
}

// One camera, one point, one observation.
QByteArray balFile(const Camera &c, const double X[3], double x, double y)
{
    return "1 1 1\n0 0 " + numbers({x, y}) +
           numbers({c.w[0], c.w[1], c.w[2], c.t[0], c.t[1], c.t[2], c.f, c.k1, c.k2}) + numbers({X[0], X[1], X[2]});
}

QByteArray bundlerFile(const Camera &c, const double X[3], double x, double y)
{
    return QByteArray(SSnavelyReader::kBundlerHeader) + "\n1 1\n" + numbers({c.f, c.k1, c.k2}) +
           numbers({c.R[0], c.R[1], c.R[2]}) + numbers({c.R[3], c.R[4], c.R[5]}) + numbers({c.R[6], c.R[7], c.R[8]}) +
           numbers({c.t[0], c.t[1], c.t[2]}) + numbers({X[0], X[1], X[2]}) + "255 255 255\n1 0 7 " + numbers({x, y});
}

// The reference cost of a BAL problem or Bundler file, written from the formats' descriptions
// without our reader: sqrt(2 cost / observations) with cost = 1/2 sum of squared errors.
const char *const kReferenceRms = R"PY(
import bz2, math, sys
text = bz2.open(sys.argv[1], "rt").read().split("\n")
def rodrigues(w):
    th = math.sqrt(sum(v * v for v in w))
    if th == 0: return [[1,0,0],[0,1,0],[0,0,1]]
    k = [v / th for v in w]; c, s = math.cos(th), math.sin(th)
    K = [[0,-k[2],k[1]],[k[2],0,-k[0]],[-k[1],k[0],0]]
    return [[c*(i==j) + s*K[i][j] + (1-c)*k[i]*k[j] for j in range(3)] for i in range(3)]
cams, pts, obs = [], [], []
if text[0].startswith("# Bundle file"):
    tok = " ".join(text[1:]).split(); it = iter(tok)
    nc, npt = int(next(it)), int(next(it))
    for _ in range(nc):
        f, k1, k2 = (float(next(it)) for _ in range(3))
        R = [[float(next(it)) for _ in range(3)] for _ in range(3)]
        cams.append((R, [float(next(it)) for _ in range(3)], f, k1, k2))
    for p in range(npt):
        pts.append([float(next(it)) for _ in range(3)]); [next(it) for _ in range(3)]
        for _ in range(int(next(it))):
            c = int(next(it)); next(it); obs.append((c, p, float(next(it)), float(next(it))))
    obs = [o for o in obs if cams[o[0]][2] != 0]
else:
    it = iter(" ".join(text).split())
    nc, npt, no = int(next(it)), int(next(it)), int(next(it))
    obs = [(int(next(it)), int(next(it)), float(next(it)), float(next(it))) for _ in range(no)]
    for _ in range(nc):
        v = [float(next(it)) for _ in range(9)]
        cams.append((rodrigues(v[:3]), v[3:6], v[6], v[7], v[8]))
    pts = [[float(next(it)) for _ in range(3)] for _ in range(npt)]
cost = 0.0
for c, p, x, y in obs:
    R, t, f, k1, k2 = cams[c]; X = pts[p]
    P = [sum(R[i][j] * X[j] for j in range(3)) + t[i] for i in range(3)]
    u, v = -P[0] / P[2], -P[1] / P[2]; r2 = u * u + v * v; d = 1 + k1 * r2 + k2 * r2 * r2
    cost += 0.5 * ((f * d * u - x) ** 2 + (f * d * v - y) ** 2)
print(repr(math.sqrt(2 * cost / len(obs))), len(obs))
)PY";

} // namespace

class TestSnavely : public QObject {
    Q_OBJECT
private slots:
    void init() { mDir = std::make_unique<QTemporaryDir>(); }

    void projectionByHand_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("distorted");
        QTest::addColumn<bool>("rotated");
        QTest::addColumn<QPointF>("observed");
        QTest::addColumn<QPointF>("residual");
        QTest::addColumn<QList<double>>("centre");
        // X = (1, 2, 0), f = 100. Unrotated, t = (0, 0, -10): P = (1, 2, -10), p = -P.xy / P.z =
        // (0.1, 0.2), projected (10, 20); k1 = 1, k2 = 10 scale it by 1 + 0.05 (1 + 10 * 0.05) = 1.075.
        // Rotated 90 degrees about z, t = (1, 0, -10): P = (-1, 1, -10), projected (-10, 10), centre
        // -R^T t = (0, 1, 10).
        for (const QByteArray format : {QByteArray("bal"), QByteArray("bundler")}) {
            QTest::newRow(format + " plain")
                << format << false << false << QPointF(10.5, 19) << QPointF(0.5, -1) << QList<double>{0, 0, 10};
            QTest::newRow(format + " distorted")
                << format << true << false << QPointF(11, 21) << QPointF(0.25, -0.5) << QList<double>{0, 0, 10};
            QTest::newRow(format + " rotated")
                << format << false << true << QPointF(-9, 11) << QPointF(1, 1) << QList<double>{0, 1, 10};
        }
    }
    void projectionByHand()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, distorted);
        QFETCH(bool, rotated);
        QFETCH(QPointF, observed);
        QFETCH(QPointF, residual);
        QFETCH(QList<double>, centre);
        const double X[3] = {1, 2, 0};
        Camera c{{0, 0, 0}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, -10}, 100, 0, 0};
        if (distorted) {
            c.k1 = 1;
            c.k2 = 10;
        }
        if (rotated)
            c = Camera{{0, 0, M_PI / 2}, {0, -1, 0, 1, 0, 0, 0, 0, 1}, {1, 0, -10}, 100, 0, 0};
        const QString file = path("block.txt");
        writeFile(file, format == "bal" ? balFile(c, X, observed.x(), observed.y())
                                        : bundlerFile(c, X, observed.x(), observed.y()));

        SProjectData data;
        StopHandler capture;
        QVERIFY2(SProjectOpener::read(file, data, capture), qPrintable(capture.error()));
        QCOMPARE(data.mListImageData.count(), 1);
        const SImage *image = data.mListImageData.first();
        const SImagePoint *point = image->imagePoint(0);
        QVERIFY(point && point->active());
        QCOMPARE(point->weight(), 1.0f);
        QVERIFY(std::abs(point->vx() - residual.x()) < 1e-5 && std::abs(point->vy() - residual.y()) < 1e-5);
        QVERIFY(std::abs(image->X0() - centre[0]) < 1e-6 && std::abs(image->Y0() - centre[1]) < 1e-6 &&
                std::abs(image->Z0() - centre[2]) < 1e-6);
        // The extent is the observations' own: BAL has no image size.
        QCOMPARE(image->xmin(), float(observed.x()));
        QCOMPARE(image->ymax(), float(observed.y()));
        QVERIFY(std::abs(data.projectFiles->sigma0 - std::hypot(residual.x(), residual.y())) < 1e-6);
        QVERIFY(!data.projectFiles->inversion);
        // Two coordinates observed, nine camera and three point unknowns.
        QCOMPARE(data.projectFiles->averageRedundancy, (2.0 - 12.0) / 2.0);
        const SObjectPoint *objectPoint = nullptr;
        for (const SObjectPoint &p : data.mListObjectData)
            if (!p.isProjectionCentre())
                objectPoint = &p;
        QVERIFY(objectPoint && objectPoint->code() == 0 && objectPoint->sigmaX() == 0.0f);
        data.close();
    }

    void compressedAsPlain()
    {
        const QByteArray bal = "2 2 3\n0 0 1.5 -2\n1 0 3 4\n1 1 -5 6.25\n"
                               "0.1 0.2 0.3 1 2 -20 500 0.01 0.001\n-0.1 0 0.2 -1 0 -25 450 0 0\n"
                               "1 2 3\n-1 0.5 2\n";
        writeFile(path("p.txt"), bal);
        const QByteArray bz2 = runProgram(QStringLiteral("bzip2"), {QStringLiteral("-c")}, bal);
        const QByteArray gz = runProgram(QStringLiteral("gzip"), {QStringLiteral("-c")}, bal);
        if (bz2.isNull() || gz.isNull())
            QSKIP("bzip2 or gzip is not installed");
        // Named so that only the content can tell what they are.
        writeFile(path("p.bz2.out"), bz2);
        writeFile(path("p.gz.dat"), gz);
        QString error;
        const QByteArray plain = modelDump(path("p.txt"), &error);
        QVERIFY2(plain.contains("\"sigma0\""), qPrintable(error));
        QCOMPARE(modelDump(path("p.bz2.out"), &error), plain);
        QCOMPARE(modelDump(path("p.gz.dat"), &error), plain);
    }

    void rmsAgainstReferenceCost_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *name : {"bal/dubrovnik-3-7-pre.txt.bz2", "bal/problem-49-7776-pre.txt.bz2",
                                 "bal/problem-39-18060-pre.txt.bz2", "bal/Balbianello.out.bz2"})
            QTest::newRow(name) << sharedData(QLatin1String(name));
    }
    void rmsAgainstReferenceCost()
    {
        QFETCH(QString, file);
        if (file.isEmpty())
            QSKIP("the shared BAL data is not on this machine");
        const QByteArray reference = runProgram(QStringLiteral("python3"), {QStringLiteral("-c"), kReferenceRms, file});
        if (reference.isNull())
            QSKIP("python3 is not installed");
        const QList<QByteArray> fields = reference.trimmed().split(' ');
        QCOMPARE(fields.size(), 2);
        SProjectData data;
        StopHandler capture;
        QVERIFY2(SProjectOpener::read(file, data, capture), qPrintable(capture.error()));
        qint64 observations = 0;
        for (const SImage *image : data.mListImageData)
            observations += image->numberOfPoints() - image->eliminatedCount();
        QCOMPARE(observations, fields[1].toLongLong());
        const double rms = fields[0].toDouble();
        QVERIFY2(std::abs(data.projectFiles->sigma0 - rms) <= 1e-9 * rms,
                 qPrintable(
                     QStringLiteral("%1 against %2").arg(data.projectFiles->sigma0, 0, 'g', 17).arg(rms, 0, 'g', 17)));
        data.close();
    }

    void damagedFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        const QByteArray camera = "0 0 0 0 0 -10 100 0 0\n";
        QTest::newRow("empty bundler") << QByteArray("# Bundle file v0.3\n") << "line 1: the file ends";
        QTest::newRow("garbage") << QByteArray("1 1 1\n\x01\x02\xff zz\n") << "line 2: camera '";
        QTest::newRow("truncated") << QByteArray("1 1 2\n0 0 1 2\n") << "line 2: the file ends where the camera";
        QTest::newRow("camera out of range") << QByteArray("1 1 1\n3 0 1 2\n") << "line 2: camera 3 does not exist";
        QTest::newRow("point out of range") << QByteArray("1 1 1\n0 1 1 2\n") << "line 2: point 1 does not exist";
        QTest::newRow("nan") << QByteArray("1 1 1\n0 0 nan 2\n") << "line 2: observed x 'nan' is no finite";
        QTest::newRow("inf camera") << QByteArray("1 1 1\n0 0 1 2\n0 0 0 inf 0 -10 100 0 0\n")
                                    << "line 3: camera parameter 'inf'";
        QTest::newRow("count beyond int") << QByteArray("99999999999 1 1\n") << "line 1: number of cameras 99999999999";
        QTest::newRow("negative count") << QByteArray("1 -1 1\n") << "line 1: number of points '-1'";
        QTest::newRow("huge counts") << QByteArray("2147483647 2147483647 2147483647\n")
                                     << "line 1: the file ends where the camera";
        QTest::newRow("bundler view of no camera")
            << QByteArray("# Bundle file v0.3\n1 1\n100 0 0\n1 0 0\n0 1 0\n0 0 1\n0 0 -10\n1 2 0\n9 9 9\n1 4 0 1 2\n")
            << "line 10: camera 4 does not exist";
        QTest::newRow("damaged bzip2") << QByteArray("BZh91AY&SY garbage") << "bzip2";
        QTest::newRow("damaged gzip") << QByteArray("\x1f\x8b\x08\x00garbage", 12) << "gzip";
        QTest::newRow("truncated point") << QByteArray("1 1 1\n0 0 1 2\n" + camera + "1 2\n")
                                         << "line 4: the file ends";
    }
    void damagedFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const QString file = path("damaged.txt");
        writeFile(file, content);
        SProjectData data;
        StopHandler capture;
        QVERIFY(!SSnavelyReader(data, capture).read(file));
        QVERIFY2(capture.error().contains(file) && capture.error().contains(problem), qPrintable(capture.error()));
        // A file that fails adds nothing.
        QCOMPARE(data.mListImageData.count(), 0);
        QCOMPARE(data.mListObjectData.count(), 0);
    }

private:
    QString path(const QString &name) const { return mDir->filePath(name); }
    std::unique_ptr<QTemporaryDir> mDir;
};

QTEST_GUILESS_MAIN(TestSnavely)
#include "tst_snavely.moc"
