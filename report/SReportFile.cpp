// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SReportFile.h"

#include "report/SReportHtmlWriter.h"
#include "report/SReportPdfWriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace SReport {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

FileFormatE fileFormat(const QString &file)
{
    const QString ext = QFileInfo(file).suffix().toLower();
    if (ext == QLatin1String("html") || ext == QLatin1String("htm"))
        return FileFormatE::FF_Html;
    if (ext == QLatin1String("pdf"))
        return FileFormatE::FF_Pdf;
    return FileFormatE::FF_Unknown;
}

bool checkOutputFile(const QString &file, QString *error)
{
    const QFileInfo fi(file);
    if (file.isEmpty()) {
        setError(error, QStringLiteral("Cannot write the report: no output file named."));
        return false;
    }
    if (fi.isDir()) {
        setError(error, QStringLiteral("Cannot write the report '%1': it is a directory.").arg(file));
        return false;
    }
    if (fileFormat(file) == FileFormatE::FF_Unknown) {
        setError(error, QStringLiteral("Cannot write the report '%1': unknown format '%2' (use .html or .pdf).")
                            .arg(file, fi.suffix()));
        return false;
    }
    const QFileInfo dir(fi.absolutePath());
    if (!dir.isDir()) {
        setError(error, QStringLiteral("Cannot write the report '%1': the folder '%2' does not exist.")
                            .arg(file, fi.absolutePath()));
        return false;
    }
    if (!dir.isWritable() || (fi.exists() && !fi.isWritable())) {
        setError(error,
                 QStringLiteral("Cannot write the report '%1': the file or its folder is not writable.").arg(file));
        return false;
    }
    return true;
}

bool writeReportFile(const Document &document, const QString &file, QString *error)
{
    if (!checkOutputFile(file, error))
        return false;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("Cannot write the report '%1': %2.").arg(file, out.errorString()));
        return false;
    }
    if (fileFormat(file) == FileFormatE::FF_Pdf) {
        if (!writePdf(document, out)) {
            out.cancelWriting();
            setError(error, QStringLiteral("Cannot write the report '%1': the PDF could not be started.").arg(file));
            return false;
        }
    } else {
        writeHtml(document, out);
    }
    if (!out.commit()) {
        setError(error, QStringLiteral("Cannot write the report '%1': %2.").arg(file, out.errorString()));
        return false;
    }
    return true;
}

} // namespace SReport
