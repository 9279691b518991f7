// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxInfoDialog.h"

#include "framework/MxApp.h"
#include "framework/MxStd.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace Mx {
namespace {

QTextBrowser *textPage(QWidget *parent, const QString &html)
{
    auto *view = new QTextBrowser(parent);
    view->setReadOnly(true);
    view->setHtml(html);
    return view;
}

} // namespace

InfoDialog::InfoDialog(QWidget *parent) : QDialog(parent), mTabs(new QTabWidget(this))
{
    setWindowTitle(tr("Information"));
    resize(620, 460);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(stdSpace(), stdSpace(), stdSpace(), stdSpace());
    layout->addWidget(mTabs);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    mTabs->addTab(textPage(this, QString()), tr("&About"));
    mTabs->addTab(textPage(this, App::info(QStringLiteral("history"))), tr("&History"));
}

void InfoDialog::setAboutText(const QString &html)
{
    if (auto *about = qobject_cast<QTextBrowser *>(mTabs->widget(0)))
        about->setHtml(html);
}

void InfoDialog::addTab(QWidget *page, const QString &label) { mTabs->addTab(page, label); }

} // namespace Mx
