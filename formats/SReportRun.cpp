// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SReportRun.h"

#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "patb/SProjectReport.h"

#include <QBuffer>

int runProjectReport(const QString &projectFile, QIODevice &out)
{
    QStringList warnings;
    Mu::setSink([&warnings](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Warn)
            warnings.append(text);
    });

    SProjectData data;
    data.setCodesWhileReading(true);
    const std::optional<SReportError> error = SProjectOpener::readWithoutDialogs(projectFile, data);
    data.initialise();
    Mu::setSink(nullptr);

    writeProjectReportJson(out, data, warnings, error);
    data.close();
    return error ? 1 : 0;
}

int runProjectReport(const QString &projectFile, QByteArray *jsonOut)
{
    QByteArray json;
    QBuffer buffer(&json);
    buffer.open(QIODevice::WriteOnly);
    const int status = runProjectReport(projectFile, buffer);
    buffer.close();
    if (jsonOut)
        *jsonOut = json;
    return status;
}
