// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPicture.h"

#include "framework/MxPngWriter.h"

#include <QFileInfo>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace Mx {

bool isPictureFormat(const QString &file)
{
    const QString ext = QFileInfo(file).suffix().toLower();
    return ext == QLatin1String("png") || ext == QLatin1String("pdf") || ext == QLatin1String("svg");
}

namespace {

bool canWrite(const QString &file, QString *error)
{
    const QFileInfo fi(file);
    const QFileInfo dir(fi.absolutePath());
    if (fi.isDir() || !dir.isDir() || !dir.isWritable() || (fi.exists() && !fi.isWritable())) {
        if (error)
            *error = QStringLiteral("Cannot write picture '%1': the file or its folder is not writable.").arg(file);
        return false;
    }
    return true;
}

} // namespace

bool writePicture(const QString &file, const QSize &size, const PaintFunction &paint, QString *error,
                  const ImagePaintFunction &paintImage)
{
    const QString ext = QFileInfo(file).suffix().toLower();
    if (!isPictureFormat(file)) {
        if (error)
            *error = QStringLiteral("Cannot write picture '%1': unknown format '%2' (use .png, .pdf or .svg).")
                         .arg(file, ext);
        return false;
    }
    if (size.isEmpty()) {
        if (error)
            *error = QStringLiteral("Cannot write picture '%1': the picture is empty.").arg(file);
        return false;
    }
    if (!canWrite(file, error))
        return false;

    if (ext == QLatin1String("png")) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
            if (error)
                *error = QStringLiteral("Cannot write picture '%1': %2 x %3 pixels is too large.")
                             .arg(file)
                             .arg(size.width())
                             .arg(size.height());
            return false;
        }
        image.fill(Qt::white);
        if (paintImage) {
            paintImage(image);
        } else {
            QPainter painter(&image);
            paint(painter);
        }
        if (!writePng(image, file)) {
            if (error)
                *error = QStringLiteral("Cannot write picture '%1'.").arg(file);
            return false;
        }
        return true;
    }
    if (ext == QLatin1String("pdf")) {
        QPdfWriter pdf(file);
        pdf.setResolution(72); // one canvas pixel is one point
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            if (error)
                *error = QStringLiteral("Cannot write picture '%1'.").arg(file);
            return false;
        }
        paint(painter);
        painter.end();
        return true;
    }
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    QPainter painter;
    if (!painter.begin(&svg)) {
        if (error)
            *error = QStringLiteral("Cannot write picture '%1'.").arg(file);
        return false;
    }
    paint(painter);
    painter.end();
    return true;
}

} // namespace Mx
