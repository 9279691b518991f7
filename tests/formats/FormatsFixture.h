// SPDX-License-Identifier: GPL-3.0-or-later
// What the format tests share: files written by the test, the shared data folder when it is
// there, and outside programs.
#pragma once

#include "formats/SProjectOpener.h"
#include "framework/Mu.h"
#include "patb/SProjectReport.h"
#include "tests/common/StopHandler.h"
#include "tests/common/TestFiles.h"

#include <QDir>
#include <QString>

namespace FormatsFixture {

using TestFiles::runProgram;
using TestFiles::writeFile;

// The shared data folder (BAL problems), empty when this machine has none.
inline QString sharedData(const QString &relative)
{
    const QString root = qEnvironmentVariable("VARLOMIN_SHARED_DATA");
    const QString path = QDir(root).filePath(relative);
    return !root.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

// Everything the model holds of a read project, in a fixed order; empty with *error filled
// when the read fails.
inline QByteArray modelDump(const QString &path, QString *error)
{
    SProjectData data;
    StopHandler capture;
    if (!SProjectOpener::read(path, data, capture)) {
        *error = capture.error();
        return {};
    }
    data.initialise();
    QByteArray dump = projectReportJson(data, {}, std::nullopt);
    for (const SImage *image : data.mListImageData)
        for (const SImagePointEntry &e : image->points())
            dump += QByteArray::number(e.id) + ' ' + QByteArray::number(e.point.x()) + ' ' +
                    QByteArray::number(e.point.y()) + ' ' + QByteArray::number(e.point.vx()) + ' ' +
                    QByteArray::number(e.point.vy()) + '\n';
    data.close();
    return dump;
}

} // namespace FormatsFixture
