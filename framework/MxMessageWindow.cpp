// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxMessageWindow.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>

namespace Mx {
namespace {

QPointer<MessageWindow> gWindow;

QString levelColor(Mu::Level level)
{
    switch (level) {
    case Mu::Level::Note: return QStringLiteral("#0000c0");
    case Mu::Level::Msg: return QStringLiteral("#006400");
    case Mu::Level::Warn: return QStringLiteral("#c05000");
    case Mu::Level::Error:
    case Mu::Level::Fatal: return QStringLiteral("#c00000");
    default: return QStringLiteral("#000000");
    }
}

} // namespace

MessageWindow::MessageWindow(QWidget *parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setWindowTitle(tr("Messages"));
    setObjectName(QStringLiteral("MessageWindow"));
}

MessageWindow *MessageWindow::instance() { return gWindow; }

MessageWindow *MessageWindow::setup()
{
    if (gWindow)
        return gWindow;
    gWindow = new MessageWindow;
    Mu::setSink([](Mu::Level level, const QString &text) {
        if (gWindow)
            gWindow->append(level, text);
    });
    Mu::setDialogHook([](Mu::Level level, const QString &text) {
        if (level == Mu::Level::Fatal)
            QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
        else
            QMessageBox::warning(nullptr, QCoreApplication::applicationName(), text);
    });
    return gWindow;
}

void MessageWindow::append(Mu::Level level, const QString &text)
{
    if (level == Mu::Level::Debug)
        return;
    if (level == Mu::Level::Status) {
        emit statusMessage(text);
        return;
    }
    // Messages may carry markup of their own (<b>, <em>); line breaks become <br>.
    QString html = text;
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    QTextEdit::append(QStringLiteral("<font color=\"%1\">%2</font>").arg(levelColor(level), html));
}

} // namespace Mx
