// SPDX-License-Identifier: GPL-3.0-or-later
// The preferences dialog: one tab per page, Apply / OK / Cancel. Pages fill their
// widgets before the dialog is shown and save them when the user applies.
#pragma once

#include <QDialog>
#include <QList>

class QTabWidget;

namespace Mx {

class PrefsTab;

class PrefsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrefsDialog(QWidget *parent = nullptr);

    void addTab(PrefsTab *page, const QString &label);
    void showPage(PrefsTab *page);
    QList<PrefsTab *> pages() const { return mPages; }
    PrefsTab *currentPage() const;

public slots:
    void slotApply();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTabWidget *mTabs;
    QList<PrefsTab *> mPages;
};

} // namespace Mx
