// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/PatbWriter.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cstring>

namespace PatbWriter {

namespace {

constexpr char kBlank = ' ';
constexpr const char *kLineEnd = "\r\n";

// Appends fields to a record of fixed size and checks that the layout fills it exactly.
class RecordBuilder {
public:
    explicit RecordBuilder(int size) { mBytes.reserve(size); }

    RecordBuilder &int16(qint16 value)
    {
        char le[sizeof(qint16)];
        qToLittleEndian<qint16>(value, le);
        mBytes.append(le, sizeof le);
        return *this;
    }
    RecordBuilder &float64(double value)
    {
        quint64 bits;
        std::memcpy(&bits, &value, sizeof bits);
        char le[sizeof(quint64)];
        qToLittleEndian<quint64>(bits, le);
        mBytes.append(le, sizeof le);
        return *this;
    }
    RecordBuilder &id(const IdField &field)
    {
        mBytes.append(field.bytes());
        return *this;
    }
    RecordBuilder &separator()
    {
        mBytes.append(kBlank);
        return *this;
    }
    QByteArray take(int expectedSize)
    {
        Q_ASSERT(mBytes.size() == expectedSize);
        Q_UNUSED(expectedSize);
        return std::move(mBytes);
    }

private:
    QByteArray mBytes;
};

QByteArray fitted(QByteArray text)
{
    text.truncate(kIdFieldSize);
    return text.leftJustified(kIdFieldSize, kBlank);
}

QByteArray line(const QString &text) { return text.toLocal8Bit() + kLineEnd; }

} // namespace

IdField::IdField(int id) : mBytes(QByteArray::number(id).rightJustified(kIdFieldSize, kBlank, true)) {}

IdField::IdField(const char *text) : mBytes(fitted(QByteArray(text))) {}

IdField::IdField(const QByteArray &text) : mBytes(fitted(text)) {}

QByteArray imageRecord(qint16 status, const IdField &id, double x, double y, double vx, double vy, double weight)
{
    return RecordBuilder(kImageRecordSize)
        .int16(status)
        .id(id)
        .separator()
        .float64(x)
        .float64(y)
        .float64(vx)
        .float64(vy)
        .float64(weight)
        .take(kImageRecordSize);
}

QByteArray imageHeader(const IdField &imageNumber) { return imageRecord(0, imageNumber, 1.0, 1.0, 1.0, 1.0, 1.0); }

QByteArray imagePoint(qint16 status, const IdField &pointId, double x, double y, double vx, double vy, double weight)
{
    return imageRecord(status, pointId, x, y, vx, vy, weight);
}

QByteArray imageTrailer(double x) { return imageRecord(0, kImageTrailerId, x, 0.0, 0.0, 0.0, 0.0); }

QByteArray orientationRecord(const IdField &imageNumber, const IdField &cameraId, double x0, double y0, double z0,
                             double varX0, double varY0, double varZ0)
{
    return RecordBuilder(kOrientationRecordSize)
        .int16(0)
        .id(imageNumber)
        .separator()
        .id(cameraId)
        .separator()
        .float64(x0)
        .float64(y0)
        .float64(z0)
        .float64(varX0)
        .float64(varY0)
        .float64(varZ0)
        .take(kOrientationRecordSize);
}

QByteArray objectRecord(qint16 code, const IdField &pointId, double x, double y, double z, double varX, double varY,
                        double varZ)
{
    return RecordBuilder(kObjectRecordSize)
        .int16(code)
        .id(pointId)
        .separator()
        .float64(x)
        .float64(y)
        .float64(z)
        .float64(varX)
        .float64(varY)
        .float64(varZ)
        .take(kObjectRecordSize);
}

QByteArray statisticsRecord(double sigma0, double averageRedundancy, double inversion, const IdField &id)
{
    return objectRecord(kStatisticsCode, id, sigma0, averageRedundancy, inversion, 0.0, 0.0, 0.0);
}

QByteArray observationRecord(qint16 type, qint16 status, const IdField &id, double observed, double fileResidual,
                             double shownValue)
{
    return RecordBuilder(kObservationRecordSize)
        .int16(type)
        .int16(status)
        .id(id)
        .separator()
        .float64(observed)
        .float64(fileResidual)
        .float64(shownValue)
        .take(kObservationRecordSize);
}

QByteArray cameraRecord(const IdField &cameraId, double xmin, double ymax, double width, double height,
                        const CameraData &cameraData)
{
    RecordBuilder record(kCameraRecordSize);
    record.id(cameraId).separator();
    for (double value : cameraData)
        record.float64(value);
    return record.float64(xmin).float64(ymax).float64(width).float64(height).take(kCameraRecordSize);
}

ProjectFileNames projectFileNames(const QString &baseName, const QString &cameraFile)
{
    return {cameraFile, baseName + ".(i)", baseName + ".(o)", baseName + ".(e)", baseName + ".(c)"};
}

QByteArray projectFile(const ProjectFileNames &names)
{
    return line("CAMERA_FILE: " + names.camera) + line("IMAGE_FILE: " + names.image) +
           line("OBJECT_FILE: " + names.object) + line("ORIENTATION_FILE: " + names.orientation) +
           line("OBJECT_OBSERVATION_FILE: " + names.observation);
}

QByteArray patProjectFile(const QString &outputBase) { return line("[PROJECT]") + line("PATB_OUT_GRAV=" + outputBase); }

QByteArray patIni(const QString &lastProject, const QString &programDirectory)
{
    return line("[PATB]") + line("PATB_LAST_PROJ=" + lastProject) + line(QString()) + line("[PAT]") +
           line("PATH_PROGRAMS=" + programDirectory);
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Can't write '%1': %2").arg(path, file.errorString());
    return false;
}

} // namespace PatbWriter
