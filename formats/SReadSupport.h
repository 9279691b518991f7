// SPDX-License-Identifier: GPL-3.0-or-later
// What the readers of other adjusters' files share with the PAT-B readers: the error dialog with
// its answer carried out, and progress notices a few megabytes apart that may cancel the read.
#pragma once

#include "patb/SPatbHandler.h"

#include <QString>

namespace SReadSupport {

// Shows the error through the handler and carries out the answer ("&Open other" asks for another
// project, "&Quit" ends the program through Mu::fatal).
void reportError(SPatbHandler &handler, const QString &text);

// Progress of one file; notifies the handler each time another step of bytes is done.
class Progress {
public:
    Progress(SPatbHandler &handler, const QString &file, qint64 total);
    // False once the handler cancelled the read.
    bool at(qint64 done);

private:
    SPatbHandler &mHandler;
    QString mFile;
    qint64 mTotal;
    qint64 mNext;
};

} // namespace SReadSupport
