// SPDX-License-Identifier: GPL-3.0-or-later
// Reader of COLMAP sparse models: a folder with cameras, images and points3D, as .bin files
// (preferred, as COLMAP itself does) or .txt files. Errors name the file and the line (text) or
// the record (binary) and go to the handler's error dialog; a model that fails adds nothing.
#pragma once

#include "formats/SColmapModel.h"
#include "formats/SReadSupport.h"
#include "patb/SPatbHandler.h"

#include <QString>

#include <functional>

class SColmapReader {
public:
    SColmapReader(SProjectData &data, SPatbHandler &handler) : mData(data), mHandler(handler) {}

    // Whether the folder holds a model; *binary says which kind is read.
    static bool hasModel(const QString &folder, bool *binary);

    // Reads the model in the folder into the data, in the encoding hasModel prefers unless one is
    // asked for; false when it failed or was cancelled.
    enum EncodingE { EN_Preferred, EN_Text, EN_Binary };
    bool read(const QString &folder, EncodingE encoding = EN_Preferred);
    // Parses and checks without touching the data (tests, fuzzing); false with error().
    bool parse(const QString &folder, bool binary, SColmapModel *model);
    QString error() const { return mError; }

    // Bytes done of one file; false cancels. Empty: no progress is reported.
    using ProgressFn = std::function<bool(const QString &file, qint64 done)>;

private:
    SProjectData &mData;
    SPatbHandler &mHandler;
    QString mError;
    ProgressFn mProgress;
};

// The two encodings; each fills the model as the files hold it, without cross-checks.
namespace SColmapText {
bool read(const QString &folder, SColmapModel *model, QString *error, const SColmapReader::ProgressFn &progress);
}
namespace SColmapBinary {
bool read(const QString &folder, SColmapModel *model, QString *error, const SColmapReader::ProgressFn &progress);
}
