// SPDX-License-Identifier: GPL-3.0-or-later
// The information dialog: the about text and the history, plus tabs the application adds.
#pragma once

#include <QDialog>

class QTabWidget;

namespace Mx {

class InfoDialog : public QDialog {
    Q_OBJECT
public:
    explicit InfoDialog(QWidget *parent = nullptr);

    void setAboutText(const QString &html);
    void addTab(QWidget *page, const QString &label);
    QTabWidget *tabs() const { return mTabs; }

private:
    QTabWidget *mTabs;
};

} // namespace Mx
