// SPDX-License-Identifier: GPL-3.0-or-later
// What a PAT-B read needs from its caller: the answer to an error dialog, the request for
// another project file and the notices of progress and completion. The GUI shows dialogs,
// the command-line report records.
#pragma once

#include <QString>

enum class SReadErrorChoice {
    OpenOther, // "&Open other": the caller opens another project; this read stops
    Quit,      // "&Quit": the program ends through Mu::fatal
    Stop       // just stop this read (command line, tests)
};

class SPatbHandler {
public:
    virtual ~SPatbHandler() = default;

    // The error dialog with "&Open other" (default) and "&Quit"; text is translated and filled.
    virtual SReadErrorChoice readError(const QString &text) = 0;
    // Called after "&Open other" (and after any discarding); the GUI opens the file dialog here.
    virtual void requestOtherProjectFile() {}
    // The read of a project file is complete.
    virtual void dataInputComplete() {}
    // The result files are about to be read: their size in bytes together.
    virtual void readStarting(qint64 totalBytes) { Q_UNUSED(totalBytes) }
    // Called every few megabytes while a result file is read; false cancels the read.
    virtual bool progress(const QString &file, qint64 done, qint64 total)
    {
        Q_UNUSED(file)
        Q_UNUSED(done)
        Q_UNUSED(total)
        return true;
    }
};
