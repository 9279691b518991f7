// SPDX-License-Identifier: GPL-3.0-or-later
// A push button that shows a colour and lets the user pick another one from a popup
// of standard colours, or any colour through "more..." (the colour dialog).
#pragma once

#include <QColor>
#include <QList>
#include <QPair>
#include <QPushButton>

class QtColorPicker : public QPushButton {
    Q_OBJECT
public:
    // cols < 0 chooses the number of popup columns automatically.
    explicit QtColorPicker(QWidget *parent = nullptr, int cols = -1, bool enableColorDialog = true);

    void setStandardColors();
    void insertColor(const QColor &color, const QString &text = QString());
    void setCurrentColor(const QColor &color);
    QColor currentColor() const { return mColor; }
    QList<QPair<QColor, QString>> colors() const { return mColors; }

signals:
    void colorChanged(const QColor &color);

private:
    void showPopup();
    void updateIcon();

    QColor mColor{Qt::black};
    QList<QPair<QColor, QString>> mColors;
    int mCols;
    bool mColorDialogEnabled;
};
