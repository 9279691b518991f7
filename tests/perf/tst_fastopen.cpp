// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "patb/SProjectData.h"
#include "tests/patb/PatbFiles.h"

#include <QTest>

#include <map>

// The fast paths of opening: the object list's id index, filled in bulk or point by point,
// and the point codes given image by image, for dense and for scattered ids.
class TstFastOpen : public QObject {
    Q_OBJECT

private slots:
    void findKeepsFirstPointAcrossAppends();
    void codesFromTheOnePointOfEachId_data();
    void codesFromTheOnePointOfEachId();
    void conflictsStillWarnInListOrder_data();
    void conflictsStillWarnInListOrder();
};

using PatbFiles::MessageCapture;

namespace {
SObjectPoint objectPoint(int id, int code) { return SObjectPoint(id, code, 0, 0, 0, 0, 0, 0); }
} // namespace

void TstFastOpen::findKeepsFirstPointAcrossAppends()
{
    SObjectPointList list;
    constexpr int kMany = 5000;
    for (int i = 0; i < kMany; ++i)
        list.append(objectPoint(3 * i, 1));
    QCOMPARE(list.find(30)->code(), 1);
    // More after a lookup, with duplicates: the first point of an id stays the one found.
    for (int i = 0; i < 2 * kMany; ++i)
        list.append(objectPoint(3 * i + (i % 2 == 0 ? 0 : 1), 2));
    QCOMPARE(list.find(30)->code(), 1);
    QCOMPARE(list.find(34)->code(), 2);
    QVERIFY(!list.find(32));
    list.clear();
    QVERIFY(!list.find(30));
}

void TstFastOpen::codesFromTheOnePointOfEachId_data()
{
    QTest::addColumn<int>("idStep");
    QTest::newRow("dense ids") << 1;
    QTest::newRow("scattered ids") << 100003;
}

// Object points with codes, projection centres sharing ids with them (before and after),
// ids that only a centre carries and image points that no object point claims.
void TstFastOpen::codesFromTheOnePointOfEachId()
{
    QFETCH(int, idStep);
    constexpr int kPoints = 400;
    constexpr int kImages = 6;
    SProjectData data;
    std::map<int, int> codeOf;
    for (int i = 0; i < kPoints; ++i) {
        const int id = 1000 + i * idStep;
        if (i % 7 == 0)
            data.mListObjectData.append(objectPoint(id, SGlobal::kCodeProjectionCentre));
        if (i % 5 != 4) {
            const int code = i % 3 == 0 ? 0 : (i % 3 == 1 ? SGlobal::kCodeFullControl : SGlobal::kCodeVerticalControl);
            data.mListObjectData.append(objectPoint(id, code));
            codeOf[id] = code;
        }
        if (i % 11 == 0)
            data.mListObjectData.append(objectPoint(id, SGlobal::kCodeObservedProjectionCentre));
    }
    for (int n = kImages; n >= 1; --n) {
        auto *image = new SImage;
        image->setId(n);
        for (int i = kPoints - 1 + 3; i >= 0; i -= n) // descending, a few beyond the last object point
            image->addImagePoint(1000 + i * idStep, true, 0, 0, 0, 0, 1);
        image->addImagePoint(5, true, 0, 0, 0, 0, 1); // below every object id
        image->squeeze();
        data.mListImageData.append(image);
    }

    MessageCapture capture;
    data.initialise();
    QVERIFY(capture.warnings().filter("not unique").isEmpty());
    int lonely = 0;
    for (const SImage *image : data.mListImageData)
        for (const SImagePointEntry &entry : image->points()) {
            const auto it = codeOf.find(entry.id);
            QCOMPARE(entry.point.code(), it == codeOf.end() ? -1 : it->second);
            lonely += it == codeOf.end();
        }
    QCOMPARE(data.lonelyImagePointCount(), lonely);
    QVERIFY(lonely > kImages); // unclaimed points were there to test
    data.close();
}

void TstFastOpen::conflictsStillWarnInListOrder_data() { codesFromTheOnePointOfEachId_data(); }

// Two coded points of one id: the first code stays and every further image warns, in the order
// of the object list and the images.
void TstFastOpen::conflictsStillWarnInListOrder()
{
    QFETCH(int, idStep);
    SProjectData data;
    const int a = 1000, b = 1000 + idStep, c = 1000 + 7 * idStep;
    for (const auto &[id, code] : {std::pair{b, 0}, {a, 1}, {c, 2}, {a, 3}, {b, 4}})
        data.mListObjectData.append(objectPoint(id, code));
    for (int n : {2, 1}) {
        auto *image = new SImage;
        image->setId(n);
        for (int id : {a, b, c})
            image->addImagePoint(id, true, 0, 0, 0, 0, 1);
        image->squeeze();
        data.mListImageData.append(image);
    }
    MessageCapture capture;
    data.initialise();
    const QString warning = QStringLiteral("Pointcode for image-point %1 is not unique!");
    QCOMPARE(capture.warnings().filter("not unique"),
             (QStringList{warning.arg(a), warning.arg(a), warning.arg(b), warning.arg(b)}));
    for (const SImage *image : data.mListImageData) {
        QCOMPARE(image->imagePoint(a)->code(), 1);
        QCOMPARE(image->imagePoint(b)->code(), 0);
        QCOMPARE(image->imagePoint(c)->code(), 2);
    }
    data.close();
}

QTEST_GUILESS_MAIN(TstFastOpen)
#include "tst_fastopen.moc"
