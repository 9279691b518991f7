// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/SReadSupport.h"

#include "framework/Mu.h"

namespace {

// As often as the PAT-B readers report: a progress dialog then costs nothing measurable.
constexpr qint64 kProgressBytes = 8 * 1024 * 1024;

} // namespace

namespace SReadSupport {

void reportError(SPatbHandler &handler, const QString &text)
{
    switch (handler.readError(text)) {
    case SReadErrorChoice::OpenOther: handler.requestOtherProjectFile(); break;
    case SReadErrorChoice::Quit: Mu::fatal("%s", qUtf8Printable(Mu::tr("Quitting ...")));
    case SReadErrorChoice::Stop: break;
    }
}

Progress::Progress(SPatbHandler &handler, const QString &file, qint64 total)
    : mHandler(handler), mFile(file), mTotal(total), mNext(kProgressBytes)
{}

bool Progress::at(qint64 done)
{
    if (done < mNext)
        return true;
    mNext = done + kProgressBytes;
    return mHandler.progress(mFile, done, mTotal);
}

} // namespace SReadSupport
