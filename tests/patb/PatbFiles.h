// Writers of PAT-B records for the reader tests, byte by byte as PAT-B lays them out
// (little-endian int16 and float64, nine-character id fields), plus a message capture.
#pragma once

#include "Mu.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <bit>
#include <cstring>

namespace PatbFiles {

inline void putInt16(QByteArray &r, int offset, int v)
{
    qToLittleEndian<qint16>(static_cast<qint16>(v), r.data() + offset);
}

inline void putDouble(QByteArray &r, int offset, double v)
{
    qToLittleEndian<quint64>(std::bit_cast<quint64>(v), r.data() + offset);
}

inline void putText(QByteArray &r, int offset, const QByteArray &text)
{
    std::memcpy(r.data() + offset, text.constData(), static_cast<size_t>(qMin<qsizetype>(text.size(), 9)));
}

inline QByteArray idText(int id) { return QByteArray::number(id).rightJustified(9, ' '); }

inline QByteArray imageRecord(int status, const QByteArray &id, double x, double y, double vx, double vy, double w)
{
    QByteArray r(52, ' ');
    putInt16(r, 0, status);
    putText(r, 2, id);
    putDouble(r, 12, x);
    putDouble(r, 20, y);
    putDouble(r, 28, vx);
    putDouble(r, 36, vy);
    putDouble(r, 44, w);
    return r;
}
inline QByteArray imagePoint(int status, int id, double x, double y, double vx = 0, double vy = 0, double w = 1)
{
    return imageRecord(status, idText(id), x, y, vx, vy, w);
}
inline QByteArray imageHeader(int image) { return imageRecord(0, idText(image), 1, 1, 1, 1, 1); }
inline QByteArray imageTrailer(double x = 0) { return imageRecord(0, idText(-99), x, 0, 0, 0, 0); }

inline QByteArray orientationRecord(int image, int camera, double X, double Y, double Z, double varX = 0,
                                    double varY = 0, double varZ = 0)
{
    QByteArray r(70, ' ');
    putText(r, 2, idText(image));
    putText(r, 12, idText(camera));
    putDouble(r, 22, X);
    putDouble(r, 30, Y);
    putDouble(r, 38, Z);
    putDouble(r, 46, varX);
    putDouble(r, 54, varY);
    putDouble(r, 62, varZ);
    return r;
}

inline QByteArray objectRecord(int code, int id, double X, double Y, double Z, double varX = 0, double varY = 0,
                               double varZ = 0)
{
    QByteArray r(60, ' ');
    putInt16(r, 0, code);
    putText(r, 2, idText(id));
    putDouble(r, 12, X);
    putDouble(r, 20, Y);
    putDouble(r, 28, Z);
    putDouble(r, 36, varX);
    putDouble(r, 44, varY);
    putDouble(r, 52, varZ);
    return r;
}
inline QByteArray statisticsRecord(double sigma0, double redundancy, double inversion)
{
    return objectRecord(-1, 0, sigma0, redundancy, inversion);
}

inline QByteArray observationRecord(int type, int status, int id, double observed, double residual, double extra = 0)
{
    QByteArray r(38, ' ');
    putInt16(r, 0, type);
    putInt16(r, 2, status);
    putText(r, 4, idText(id));
    putDouble(r, 14, observed);
    putDouble(r, 22, residual);
    putDouble(r, 30, extra);
    return r;
}

inline QByteArray cameraRecord(const QByteArray &id, double left, double upper, double width, double height)
{
    QByteArray r(210, '\0');
    r.replace(0, 9, id.leftJustified(9, ' ', true));
    putDouble(r, 178, left);
    putDouble(r, 186, upper);
    putDouble(r, 194, width);
    putDouble(r, 202, height);
    return r;
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// Collects every message while alive.
class MessageCapture {
public:
    MessageCapture()
    {
        Mu::setSink([this](Mu::Level level, const QString &text) { messages.append({level, text}); });
    }
    ~MessageCapture() { Mu::setSink(nullptr); }
    QStringList texts(Mu::Level level) const
    {
        QStringList out;
        for (const auto &m : messages)
            if (m.first == level)
                out << m.second;
        return out;
    }
    QStringList warnings() const { return texts(Mu::Level::Warn); }
    QList<QPair<Mu::Level, QString>> messages;
};

} // namespace PatbFiles
