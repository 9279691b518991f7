// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Decodes fields of PAT-B records straight from the bytes, independently of the writer, so that
// the tests compare the written layout with the file format and not with the writer's own code.

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace RecordDecoding {

inline qint16 int16At(const QByteArray &record, int offset)
{
    return qFromLittleEndian<qint16>(record.constData() + offset);
}

inline double float64At(const QByteArray &record, int offset)
{
    const quint64 bits = qFromLittleEndian<quint64>(record.constData() + offset);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// An id field as the readers convert it: atoi within its nine characters.
inline int idAt(const QByteArray &record, int offset) { return record.mid(offset, 9).trimmed().toInt(); }

} // namespace RecordDecoding
