// SPDX-License-Identifier: GPL-3.0-or-later
#include "misc/SGlobal.h"
#include "misc/SImageData.h"
#include "patb/SImageRecords.h"
#include "patb/SProjectData.h"
#include "patb/SRecordFile.h"
#include "tests/patb/PatbFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

// The fast paths of opening: the object list's id index, filled in bulk or point by point, and
// its batch lookups; the point codes given image by image and the point index, for dense and
// for scattered ids; record files read window by window.
using PatbFiles::imageHeader;
using PatbFiles::imagePoint;
using PatbFiles::imageTrailer;
using PatbFiles::MessageCapture;
using PatbFiles::writeFile;

namespace {
SObjectPoint objectPoint(int id, int code) { return SObjectPoint(id, code, 0, 0, 0, 0, 0, 0); }
} // namespace

class TstFastOpen : public QObject {
    Q_OBJECT

private slots:
    void codesFromTheOnePointOfEachId_data()
    {
        QTest::addColumn<int>("idStep");
        QTest::newRow("dense ids") << 1;
        QTest::newRow("scattered ids") << 100003;
    }
    // Object points with codes, projection centres sharing ids with them (before and after),
    // ids that only a centre carries and image points that no object point claims.
    void codesFromTheOnePointOfEachId()
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
                const int code =
                    i % 3 == 0 ? 0 : (i % 3 == 1 ? SGlobal::kCodeFullControl : SGlobal::kCodeVerticalControl);
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

    void linksInReadingOrder_data()
    {
        QTest::addColumn<int>("idStep");
        QTest::addColumn<bool>("farIds");
        QTest::newRow("dense ids") << 1 << false;
        QTest::newRow("scattered ids") << 100003 << false;
        QTest::newRow("dense ids and a few far away") << 1 << true;
    }
    // The point index against a plain map filled point by point: the images of each id in the
    // order they received their points, each once, and the eliminated flag.
    void linksInReadingOrder()
    {
        QFETCH(int, idStep);
        QFETCH(bool, farIds);
        constexpr int kImages = 9;
        constexpr int kIds = 300;
        std::map<int, std::vector<const SImage *>> expected;
        std::map<int, bool> eliminated;
        SImageList images;
        // Images receive points in an order that differs from their ids and from the list order.
        for (int n : {4, 1, 7, 2, 9, 3, 8, 5, 6}) {
            auto *image = new SImage;
            image->setId(n);
            for (int i = kIds - 1; i >= 0; i -= (n % 4) + 1) {
                int id = 1000 + i * idStep;
                if (farIds && i % 10 == 3)
                    id = i % 20 == 3 ? 3000000 + i : -1000 - i; // the dense window is a part of the range
                const bool active = (i + n) % 5 != 0;
                image->addImagePoint(id, active, 0, 0, 0, 0, 1);
                if (i % 10 == 0)
                    image->addImagePoint(id, active, 0, 0, 0, 0, 1); // the same id again: one link
                if (expected[id].empty() || expected[id].back() != image)
                    expected[id].push_back(image);
                eliminated[id] = eliminated[id] || !active;
            }
            image->squeeze();
            images.append(image);
        }
        QCOMPARE(images.count(), kImages);
        for (const auto &[id, linked] : expected) {
            std::vector<const SImage *> links;
            for (const SImage *image : SImage::imagesOfPoint(id))
                links.push_back(image);
            QCOMPARE(links, linked);
            QCOMPARE(SImage::hasEliminatedImagePoint(id), eliminated[id]);
        }
        for (int absent : {999, 1000 + kIds * idStep, 1001 + kIds * idStep, INT_MIN, INT_MAX, -1})
            QCOMPARE(SImage::numberOfLinks(absent), 0);
        SImage::clearPointIndex();
    }

    void findEachGivesWhatFindGives_data()
    {
        QTest::addColumn<int>("batch");
        QTest::newRow("a few ids: one pass over the list") << 40;
        QTest::newRow("many ids: the id index") << 4000;
    }
    void findEachGivesWhatFindGives()
    {
        QFETCH(int, batch);
        constexpr int kPoints = 5000;
        SObjectPointList list;
        for (int i = 0; i < kPoints; ++i) {
            if (i % 9 == 0) // a centre first: the object point of the same id comes second
                list.append(objectPoint(2 * i, SGlobal::kCodeProjectionCentre));
            list.append(objectPoint(2 * i, i));
        }
        std::vector<int> ids;
        for (int i = 0; i < batch; ++i)
            ids.push_back(i % 3 == 2 ? 2 * ((i * 7919) % kPoints) + 1 : 2 * ((i * 7919) % kPoints)); // odd: absent
        ids.push_back(ids.front());                                                                  // a repeated id
        std::vector<SObjectPoint *> found(ids.size());
        list.findEach(ids, found);
        for (size_t i = 0; i < ids.size(); ++i)
            QCOMPARE(found[i], list.find(ids[i]));
    }

    void recordsAcrossWindows_data()
    {
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<int>("leftover");
        QTest::newRow("(i) records, whole") << 52 << 0;
        QTest::newRow("(c) records, cut in the last") << 38 << 17;
        QTest::newRow("(e) records, cut in the last") << 70 << 1;
    }
    // A file of several windows: every record once, in order, whole, and the cut end reported.
    void recordsAcrossWindows()
    {
        QFETCH(int, recordSize);
        QFETCH(int, leftover);
        constexpr int kFileBytes = 9 * 1024 * 1024 + 4321;
        const int records = kFileBytes / recordSize;
        QByteArray bytes(qsizetype(records) * recordSize + leftover, '\0');
        for (int n = 0; n < records; ++n) {
            const QByteArray number = QByteArray::number(n).rightJustified(9, ' ');
            memcpy(bytes.data() + qsizetype(n) * recordSize, number.constData(), 9);
            bytes[qsizetype(n) * recordSize + recordSize - 1] = char(n % 127);
        }
        QTemporaryDir dir;
        QFile out(dir.filePath("records"));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        out.close();

        SRecordFile file(out.fileName(), recordSize);
        QVERIFY(file.open());
        int n = 0;
        while (const char *r = file.next()) {
            if (SRecord::idAt(r, 0) != n || r[recordSize - 1] != char(n % 127))
                QFAIL(qPrintable(QStringLiteral("record %1 read wrongly").arg(n)));
            if (file.recordsAhead() > 0 &&
                SRecord::idAt(file.recordAhead(file.recordsAhead() - 1), 0) != n + file.recordsAhead())
                QFAIL(qPrintable(QStringLiteral("records after %1 seen wrongly").arg(n)));
            ++n;
        }
        QCOMPARE(n, records);
        QCOMPARE(file.leftover(), qint64(leftover));
    }

    void imageRoomAcrossWindows_data()
    {
        QTest::addColumn<QList<int>>("images"); // the points of each image, in file order
        const int usual = int(SImageRecords::kWindowBytes / SImageRecords::kRecordSize);
        const int largest = int(SImageRecords::kImageWindowBytes / SImageRecords::kRecordSize);
        QTest::newRow("an image across the end of a window") << QList<int>{usual / 2, usual / 2 + 10, 5};
        QTest::newRow("an image larger than a window") << QList<int>{100, 2 * usual, 100};
        QTest::newRow("an image larger than the largest window") << QList<int>{100, largest + 100, 100};
    }
    // Every image's points counted at its header (its room) as far as the largest window holds
    // them, and every point read into it.
    void imageRoomAcrossWindows()
    {
        QFETCH(QList<int>, images);
        QByteArray bytes;
        for (int i = 0, id = 0; i < images.size(); ++i) {
            bytes += imageHeader(i);
            for (int p = 0; p < images[i]; ++p)
                bytes += imagePoint(0, ++id, p, 0.5);
            bytes += imageTrailer();
        }
        QTemporaryDir dir;
        writeFile(dir.filePath("t.(i)"), bytes);
        SRecordFile file(dir.filePath("t.(i)"), SImageRecords::kRecordSize, SImageRecords::kWindowBytes);
        QVERIFY(file.open());
        SImageRecordCursor records(file, SImageRecordCursor::Unindexed);
        const int largestRoom = int(SImageRecords::kImageWindowBytes / SImageRecords::kRecordSize) - 1;
        int image = -1;
        std::unique_ptr<SImage> current;
        while (records.next()) {
            if (records.kind() == SImageRecord::Header) {
                QCOMPARE(records.pointsAhead(), std::min(images[++image], largestRoom));
                current = std::make_unique<SImage>();
            } else if (records.kind() == SImageRecord::Point) {
                records.addPoint(*current);
                records.addKnownPoints(*current, INT_MAX);
            } else {
                QCOMPARE(current->numberOfPoints(), images[image]);
                const auto points = current->points();
                for (int p = 0; p < images[image]; ++p)
                    if (points[p].point.x() != float(p) || points[p].id != points[0].id + p)
                        QFAIL(qPrintable(QStringLiteral("point %1 of image %2 read wrongly").arg(p).arg(image)));
            }
        }
        QCOMPARE(image, images.size() - 1);
        QCOMPARE(records.leftover(), qint64(0));
    }

    void idFieldsAsAtoi_data()
    {
        QTest::addColumn<QByteArray>("field");
        for (const char *field : {"  1000006", "123456789", "         ", "      -12", "+00000012", " 12 34567",
                                  "1  234567", "  !234567", "\t    1234", "  12345x7", "00000000\n"})
            QTest::newRow(field) << QByteArray(field);
    }
    // The id fields of every kind, with characters after them, converted as atoi converts the field.
    void idFieldsAsAtoi()
    {
        QFETCH(QByteArray, field);
        const QByteArray record = "ab" + field + "987";
        QCOMPARE(SRecord::idAt(record.constData(), 2), std::atoi(field.constData()));
    }
};

QTEST_GUILESS_MAIN(TstFastOpen)
#include "tst_fastopen.moc"
