// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/MxPrefsDialog.h"

#include "framework/MxPrefsTab.h"
#include "framework/MxStd.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Mx {

PrefsDialog::PrefsDialog(QWidget *parent) : QDialog(parent), mTabs(new QTabWidget(this))
{
    setWindowTitle(tr("Preferences"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(stdSpace(), stdSpace(), stdSpace(), stdSpace());
    layout->addWidget(mTabs);
    auto *buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, &PrefsDialog::slotApply);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        slotApply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PrefsDialog::addTab(PrefsTab *page, const QString &label)
{
    mPages.append(page);
    mTabs->addTab(page, label);
}

void PrefsDialog::showPage(PrefsTab *page) { mTabs->setCurrentWidget(page); }

PrefsTab *PrefsDialog::currentPage() const { return qobject_cast<PrefsTab *>(mTabs->currentWidget()); }

void PrefsDialog::slotApply()
{
    for (PrefsTab *page : std::as_const(mPages))
        page->slotSaveWidgetStates();
}

void PrefsDialog::showEvent(QShowEvent *event)
{
    // The pages show what the configuration holds now (a key may have changed meanwhile).
    for (PrefsTab *page : std::as_const(mPages))
        page->initWidgets();
    QDialog::showEvent(event);
}

} // namespace Mx
