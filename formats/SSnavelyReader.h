// SPDX-License-Identifier: GPL-3.0-or-later
// Reader of BAL problem files and Bundler v0.3 bundle files (plain, bzip2 or gzip), which share
// Snavely's camera model; which of the two a file is comes from its first line. Errors name the
// file and the line and go to the handler's error dialog; a file that fails adds nothing.
#pragma once

#include "formats/SReadSupport.h"
#include "formats/SSnavelyBlock.h"
#include "patb/SPatbHandler.h"

#include <QString>

class STextSource;
class STokenStream;

class SSnavelyReader {
public:
    SSnavelyReader(SProjectData &data, SPatbHandler &handler) : mData(data), mHandler(handler) {}

    // Reads the file into the model; false when it failed or was cancelled.
    bool read(const QString &file);
    // Parses without touching the model; false with error() (tests and fuzzing use it alone).
    bool parse(const QString &file, SSnavelyBlock *block);
    QString error() const { return mError; }

    // First line of a Bundler file of the version read here.
    static constexpr const char *kBundlerHeader = "# Bundle file v0.3";

private:
    bool parseBal(STokenStream &tokens, SSnavelyBlock *block);
    bool parseBundler(STokenStream &tokens, SSnavelyBlock *block);
    // The next token as a count 0..limit, a finite number, or an index below size.
    bool count(STokenStream &tokens, const char *what, qint64 limit, qint64 *value);
    bool number(STokenStream &tokens, const char *what, double *value);
    bool index(STokenStream &tokens, const char *what, qint64 size, int *value);
    bool fail(const STokenStream &tokens, const QString &problem);
    bool progress(qint64 done);

    SProjectData &mData;
    SPatbHandler &mHandler;
    QString mFile;
    QString mFormat;
    QString mError;
    const STextSource *mSource = nullptr;
    SReadSupport::Progress *mProgress = nullptr; // null when parsing alone
    bool mCancelled = false;
};
