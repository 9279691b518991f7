// SPDX-License-Identifier: GPL-3.0-or-later
// Colour by error in exported pictures: points on the ramp or in the alarm colour, the
// legend in the corner, and nothing changed while the colouring is off.
#include "imageviewer/SImageExport.h"
#include "misc/SErrorColours.h"
#include "objectviewer/SObjectCanvas.h"
#include "objectviewer/SObjectExport.h"
#include "tests/imageviewer/ImageFixtures.h"
#include "tests/objectviewer/ObjectBlock.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using SErrorColours::Colouring;
using SErrorColours::MeasureE;

namespace {

constexpr double kThreshold = 3.0;
using ImageFixtures::unitCanvas;
// The legend sits in the top right corner: its bar starts with the bottom of the ramp.
bool legendShown(const QImage &picture)
{
    const QColor bottom = SErrorColours::rampColour(0.0, kThreshold);
    for (int y = 0; y < 80; ++y)
        for (int x = picture.width() - 200; x < picture.width(); ++x)
            if (picture.pixelColor(x, y) == bottom)
                return true;
    return false;
}

} // namespace

class TestColourByError : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SImage::clearPointIndex(); }

    void imagePoints_data()
    {
        QTest::addColumn<int>("measure");
        QTest::addColumn<double>("sigma0");
        QTest::addColumn<QColor>("small"); // |v| 0.5, weight 1
        QTest::addColumn<QColor>("large"); // |v| 50, weight 1
        const QColor black(Qt::black);
        QTest::newRow("off") << int(MeasureE::Off) << 0.5 << black << black;
        QTest::newRow("residual") << int(MeasureE::Residual) << 0.5 << SErrorColours::rampColour(0.5, kThreshold)
                                  << SErrorColours::alarmColour();
        QTest::newRow("standardized") << int(MeasureE::Standardized) << 0.5
                                      << SErrorColours::rampColour(1.0, kThreshold) << SErrorColours::alarmColour();
        const QColor bottom = SErrorColours::rampColour(0.0, kThreshold);
        QTest::newRow("standardized without sigma 0") << int(MeasureE::Standardized) << 0.0 << bottom << bottom;
    }
    void imagePoints()
    {
        QFETCH(int, measure);
        QFETCH(double, sigma0);
        QFETCH(QColor, small);
        QFETCH(QColor, large);
        SImage *image = ImageFixtures::makeImage(1, 0.0f, 0.0f, 500.0f, 500.0f);
        ImageFixtures::addNewPoint(image, 7, true, 100.0f, 100.0f, 0.3f, 0.4f);
        ImageFixtures::addNewPoint(image, 8, true, 400.0f, 400.0f, 30.0f, 40.0f);
        SImageList images;
        images.append(image);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("image.png"));
        QString error;
        const Colouring colouring{MeasureE(measure), kThreshold, sigma0};
        QVERIFY2(exportImagePicture(images, 1, file, 100, {QStringLiteral("residuals")}, &error, colouring),
                 qPrintable(error));
        const QImage picture(file);
        QCOMPARE(picture.pixelColor(unitCanvas(100.0f, 100.0f)), small);
        QCOMPARE(picture.pixelColor(unitCanvas(400.0f, 400.0f)), large);
        // The residual vector of the large point takes its colour too (scale 1: 30 right, 40 up).
        QCOMPARE(picture.pixelColor(unitCanvas(400.0f + 15.0f, 400.0f + 20.0f)), large);
        QCOMPARE(legendShown(picture), colouring.isOn());
        images.clear();
    }

    void objectPoints_data()
    {
        QTest::addColumn<int>("measure");
        QTest::addColumn<QColor>("observed"); // accepted residual 0.2, a rejected one of 9, sigma 5
        QTest::addColumn<QColor>("outlier");  // accepted residual 7, sigma 0.5
        QTest::addColumn<QColor>("plain");    // no observation, sigma 0.1
        const QColor black(Qt::black);
        QTest::newRow("off") << int(MeasureE::Off) << black << black << black;
        QTest::newRow("residual") << int(MeasureE::Residual) << SErrorColours::rampColour(0.2, kThreshold)
                                  << SErrorColours::alarmColour() << black;
        QTest::newRow("sigma") << int(MeasureE::Sigma) << SErrorColours::alarmColour()
                               << SErrorColours::rampColour(0.5, kThreshold)
                               << SErrorColours::rampColour(0.1, kThreshold);
    }
    void objectPoints()
    {
        QFETCH(int, measure);
        QFETCH(QColor, observed);
        QFETCH(QColor, outlier);
        QFETCH(QColor, plain);
        ObjectBlock block;
        SObjectPoint *a = block.add(10, 0, 500.0f, 500.0f, 0.0f, 5.0f);
        a->setObservation(SObjectPoint::AX_X, 500.0f, 0.2f, 0.0f);
        a->setAccepted(SObjectPoint::AX_X, true);
        a->setObservation(SObjectPoint::AX_Y, 500.0f, 9.0f, 0.0f);
        a->setAccepted(SObjectPoint::AX_Y, false);
        SObjectPoint *b = block.add(11, 0, 1000.0f, 500.0f, 0.0f, 0.5f);
        b->setObservation(SObjectPoint::AX_Z, 0.0f, -7.0f, 0.0f);
        b->setAccepted(SObjectPoint::AX_Z, true);
        block.add(12, 0, 1500.0f, 500.0f, 0.0f, 0.1f);

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("xy.png"));
        QString error;
        const Colouring colouring{MeasureE(measure), kThreshold, 0.0};
        QVERIFY2(exportObjectPicture(block.points, true, 0, file, 200, {}, false, &error,
                                     [colouring](SObjectCanvas &canvas) { canvas.setColouring(colouring); }),
                 qPrintable(error));
        const QImage picture(file);
        // 200 %: zoom factor 0.5 and a 40 pixel margin.
        QCOMPARE(picture.pixelColor(290, 290), observed);
        QCOMPARE(picture.pixelColor(540, 290), outlier);
        QCOMPARE(picture.pixelColor(790, 290), plain);
        QCOMPARE(legendShown(picture), colouring.isOn());
    }
};

QTEST_MAIN(TestColourByError)
#include "tst_colourbyerror.moc"
