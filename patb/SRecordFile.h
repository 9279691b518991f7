// SPDX-License-Identifier: GPL-3.0-or-later
// Sequential reading of a binary file of fixed-size records through a large buffer, so that
// millions of records cost no call or allocation each.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

class SRecordFile {
public:
    SRecordFile(const QString &name, int recordSize);

    bool open();
    // The next complete record, or null at the end of the file or at an incomplete record.
    const char *next();
    // Bytes of an incomplete last record, known once next() returned null.
    qint64 leftover() const { return mLeftover; }
    qint64 bytesRead() const { return mConsumed; }
    qint64 size() const { return mFile.size(); }
    const QString &name() const { return mName; }

private:
    bool refill();

    QString mName;
    QFile mFile;
    int mRecordSize;
    QByteArray mBuffer;
    qsizetype mPos = 0;
    qsizetype mEnd = 0;
    qint64 mConsumed = 0;
    qint64 mLeftover = 0;
    bool mAtEnd = false;
};

// Little-endian field decoding of PAT-B records.
namespace SRecord {
qint16 int16At(const char *record, int offset);
double float64At(const char *record, int offset);
// A nine-character id field converted as C's atoi converts it, within those characters.
int idAt(const char *record, int offset);
} // namespace SRecord
