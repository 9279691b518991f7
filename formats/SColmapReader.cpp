// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SColmapReader.h"

#include "framework/Mu.h"

#include <QDir>
#include <QFileInfo>

bool SColmapReader::hasModel(const QString &folder, bool *binary)
{
    const QDir dir(folder);
    const bool bin = QFileInfo::exists(dir.filePath(QStringLiteral("cameras.bin")));
    const bool txt = QFileInfo::exists(dir.filePath(QStringLiteral("cameras.txt")));
    if (binary)
        *binary = bin;
    return bin || txt;
}

bool SColmapReader::read(const QString &folder, EncodingE encoding)
{
    bool binary = false;
    hasModel(folder, &binary);
    if (encoding != EN_Preferred)
        binary = encoding == EN_Binary;
    const QDir dir(folder);
    qint64 total = 0;
    for (const char *base : {"cameras", "images", "points3D"})
        total += QFileInfo(dir.filePath(QLatin1String(base) + (binary ? ".bin" : ".txt"))).size();
    mHandler.readStarting(total);
    SReadSupport::Progress progress(mHandler, folder, total);
    qint64 base = 0;
    QString current;
    qint64 currentDone = 0;
    bool cancelled = false;
    mProgress = [&](const QString &file, qint64 done) {
        if (file != current) {
            base += currentDone;
            current = file;
        }
        currentDone = done;
        cancelled = !progress.at(base + done);
        return !cancelled;
    };
    SColmapModel model;
    const bool parsed = parse(folder, binary, &model);
    mProgress = nullptr;
    if (!parsed) {
        if (!cancelled)
            SReadSupport::reportError(mHandler, mError);
        return false;
    }
    model.fillModel(mData, folder, binary ? QStringLiteral(".bin") : QStringLiteral(".txt"));
    mHandler.dataInputComplete();
    return true;
}

bool SColmapReader::parse(const QString &folder, bool binary, SColmapModel *model)
{
    mError.clear();
    const bool ok = binary ? SColmapBinary::read(folder, model, &mError, mProgress)
                           : SColmapText::read(folder, model, &mError, mProgress);
    if (!ok) {
        if (mError.isEmpty())
            mError = Mu::tr("Reading the COLMAP model in '%1' was cancelled.").arg(folder);
        return false;
    }
    return model->check(folder, binary ? QStringLiteral(".bin") : QStringLiteral(".txt"), &mError);
}
