// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/QtColorPicker.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QToolButton>
#include <QWidgetAction>

#include <cmath>

QtColorPicker::QtColorPicker(QWidget *parent, int cols, bool enableColorDialog)
    : QPushButton(parent), mCols(cols), mColorDialogEnabled(enableColorDialog)
{
    connect(this, &QPushButton::clicked, this, &QtColorPicker::showPopup);
    updateIcon();
}

void QtColorPicker::setStandardColors()
{
    const struct {
        Qt::GlobalColor color;
        const char *name;
    } standard[] = {{Qt::black, "Black"},
                    {Qt::white, "White"},
                    {Qt::red, "Red"},
                    {Qt::darkRed, "Dark red"},
                    {Qt::green, "Green"},
                    {Qt::darkGreen, "Dark green"},
                    {Qt::blue, "Blue"},
                    {Qt::darkBlue, "Dark blue"},
                    {Qt::cyan, "Cyan"},
                    {Qt::darkCyan, "Dark cyan"},
                    {Qt::magenta, "Magenta"},
                    {Qt::darkMagenta, "Dark magenta"},
                    {Qt::yellow, "Yellow"},
                    {Qt::darkYellow, "Dark yellow"},
                    {Qt::gray, "Gray"},
                    {Qt::darkGray, "Dark gray"},
                    {Qt::lightGray, "Light gray"}};
    for (const auto &c : standard)
        insertColor(QColor(c.color), tr(c.name));
}

void QtColorPicker::insertColor(const QColor &color, const QString &text)
{
    mColors.append({color, text.isEmpty() ? color.name() : text});
}

void QtColorPicker::setCurrentColor(const QColor &color)
{
    if (!color.isValid() || color == mColor)
        return;
    mColor = color;
    updateIcon();
    emit colorChanged(mColor);
}

void QtColorPicker::updateIcon()
{
    QPixmap pix(24, 14);
    pix.fill(mColor);
    QPainter p(&pix);
    p.setPen(Qt::black);
    p.drawRect(0, 0, pix.width() - 1, pix.height() - 1);
    setIcon(QIcon(pix));
    setToolTip(mColor.name());
}

void QtColorPicker::showPopup()
{
    QMenu menu(this);
    auto *grid = new QWidget(&menu);
    auto *layout = new QGridLayout(grid);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    const int cols = mCols > 0 ? mCols : std::max(1, int(std::ceil(std::sqrt(double(mColors.size())))));
    for (int i = 0; i < mColors.size(); ++i) {
        auto *button = new QToolButton(grid);
        QPixmap pix(16, 16);
        pix.fill(mColors[i].first);
        button->setIcon(QIcon(pix));
        button->setToolTip(mColors[i].second);
        button->setAutoRaise(true);
        const QColor color = mColors[i].first;
        connect(button, &QToolButton::clicked, &menu, [this, &menu, color] {
            menu.close();
            setCurrentColor(color);
        });
        layout->addWidget(button, i / cols, i % cols);
    }
    auto *action = new QWidgetAction(&menu);
    action->setDefaultWidget(grid);
    menu.addAction(action);
    if (mColorDialogEnabled) {
        menu.addSeparator();
        menu.addAction(tr("more..."), this, [this] {
            const QColor c = QColorDialog::getColor(mColor, this);
            if (c.isValid())
                setCurrentColor(c);
        });
    }
    menu.exec(mapToGlobal(QPoint(0, height())));
}
