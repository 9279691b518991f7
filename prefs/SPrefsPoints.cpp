// SPDX-License-Identifier: GPL-3.0-or-later
#include "prefs/SPrefsPoints.h"

#include "framework/Mu.h"
#include "framework/MxCfg.h"
#include "framework/MxStd.h"
#include "framework/QtColorPicker.h"
#include "misc/SGlobal.h"
#include "prefs/SPrefsWidgets.h"
#include "prefs/SStripGroupBox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kIconSize = 13;
constexpr int kGroupsPerRow = 3;
constexpr int kPageEndStretch = 2;

QIcon makeSymbolIcon(int symbol)
{
    QPixmap pixmap(kIconSize, kIconSize);
    if (pixmap.isNull())
        return QIcon();
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    const int last = kIconSize - 1;
    const int mid = last / 2;
    switch (symbol) {
    case 0: // circle
        painter.drawEllipse(QRect(0, 0, last, last));
        break;
    case 1: // triangle pointing up
        painter.drawPolygon(QPolygon({QPoint(mid, 0), QPoint(last, last), QPoint(0, last)}));
        break;
    case 2: // upright cross
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawLine(mid, 0, mid, last);
        painter.drawLine(0, mid, last, mid);
        break;
    default: return QIcon();
    }
    painter.end();
    return QIcon(pixmap);
}

// A stored index outside the combo box shows as the nearest item instead of no item.
int comboIndex(const QComboBox *combo, int stored) { return std::clamp(stored, 0, combo->count() - 1); }

} // namespace

using namespace SSettings;
using namespace SPrefsWidgets;

const QList<QIcon> &SPrefsPoints::symbolIcons()
{
    static const QList<QIcon> icons = [] {
        QList<QIcon> list;
        for (int symbol = 0; symbol < SGlobal::kPointSymbolCount; ++symbol)
            list.append(makeSymbolIcon(symbol));
        return list;
    }();
    return icons;
}

SPrefsPoints::SPrefsPoints(QWidget *parent) : Mx::PrefsTab(kGroupPoints, parent)
{
    Mu::debug("SPrefsPoints");
    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    page->setSpacing(Mx::stdSpace());

    QHBoxLayout *row = nullptr;
    for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i) {
        if (i % kGroupsPerRow == 0) {
            row = new QHBoxLayout;
            page->addLayout(row);
        }
        mPoints[i] = _makePointGroup(i);
        row->addWidget(mPoints[i].group);
    }

    auto *selected = new SStripGroupBox(2, Mu::tr("S&elected Points"), this);
    selected->setObjectName(QStringLiteral("selectedGroup"));
    mMarkColor = makeColorPicker(selected);
    mMarkColor->setObjectName(QStringLiteral("markColor"));
    mMarkSize = makeSpinBox(kMarkSizeMin, kMarkSizeMax, Mu::tr(" pixel"), selected);
    mMarkSize->setObjectName(QStringLiteral("markSize"));
    selected->addCaption(Mu::tr("Color"), mMarkColor);
    selected->addWidget(mMarkColor);
    selected->addCaption(Mu::tr("+Si&ze"), mMarkSize);
    selected->addWidget(mMarkSize);
    row->addWidget(selected);

    auto *blunder = new SStripGroupBox(2, Mu::tr("&Blunder Points"), this);
    blunder->setObjectName(QStringLiteral("blunderGroup"));
    mBlunderColor = makeColorPicker(blunder);
    mBlunderColor->setObjectName(QStringLiteral("blunderColor"));
    mBlunderSize = makeSpinBox(kBlunderSizeMin, kBlunderSizeMax, Mu::tr(" pixel"), blunder);
    mBlunderSize->setObjectName(QStringLiteral("blunderSize"));
    blunder->addCaption(Mu::tr("Color"), mBlunderColor);
    blunder->addWidget(mBlunderColor);
    blunder->addCaption(Mu::tr("+Si&ze"), mBlunderSize);
    blunder->addWidget(mBlunderSize);
    row->addWidget(blunder);

    page->addStretch(kPageEndStretch);
}

SPrefsPoints::~SPrefsPoints() { Mu::debug("~SPrefsPoints"); }

SPrefsPoints::PointWidgets SPrefsPoints::_makePointGroup(int index)
{
    PointWidgets w;
    w.group = new SStripGroupBox(2, Mu::tr(pointCodeName(index, true)), this);
    w.group->setObjectName(QStringLiteral("pointGroup_%1").arg(index));
    w.group->setCheckable(true);

    w.symbol = new QComboBox(w.group);
    w.symbol->setObjectName(QStringLiteral("pointSymbol_%1").arg(index));
    const QList<QIcon> &icons = symbolIcons();
    for (int symbol = 0; symbol < SGlobal::kPointSymbolCount; ++symbol) {
        const QString name = Mu::tr(pointSymbolName(symbol));
        if (symbol < icons.size() && !icons[symbol].isNull())
            w.symbol->addItem(icons[symbol], name);
        else
            w.symbol->addItem(name);
    }
    w.color = makeColorPicker(w.group);
    w.color->setObjectName(QStringLiteral("pointColor_%1").arg(index));
    w.size = makeSpinBox(kPointSizeMin, kPointSizeMax, Mu::tr(" pixel"), w.group);
    w.size->setObjectName(QStringLiteral("pointSize_%1").arg(index));

    w.group->addCaption(Mu::tr("S&ymbol "), w.symbol);
    w.group->addWidget(w.symbol);
    w.group->addCaption(Mu::tr("&Color"), w.color);
    w.group->addWidget(w.color);
    w.group->addCaption(Mu::tr("&Size "), w.size);
    w.group->addWidget(w.size);
    return w;
}

void SPrefsPoints::slotSaveWidgetStates()
{
    Mu::debug("SPrefsPoints::slotSaveWidgetStates");
    {
        Mx::Cfg cfg(cfgSection());
        for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i) {
            const PointWidgets &w = mPoints[i];
            cfg.writeEntry(pointOnKey(i), w.group->isChecked() ? 1 : 0);
            cfg.writeEntry(pointSymbolKey(i), w.symbol->currentIndex());
            cfg.writeEntry(pointColorKey(i), w.color->currentColor());
            cfg.writeEntry(pointSizeKey(i), w.size->value());
        }
        cfg.writeEntry(kMarkColor, mMarkColor->currentColor());
        cfg.writeEntry(kMarkSize, mMarkSize->value());
        cfg.writeEntry(kBlunderColor, mBlunderColor->currentColor());
        cfg.writeEntry(kBlunderSize, mBlunderSize->value());
    }
    emit sigWidgetsSaved();
}

void SPrefsPoints::initWidgets()
{
    Mu::debug("SPrefsPoints::initWidgets");
    Mx::Cfg cfg(cfgSection());
    for (int i = 0; i < SGlobal::kPointCodeIndexCount; ++i) {
        const PointWidgets &w = mPoints[i];
        w.group->setChecked(cfg.readBool(pointOnKey(i), kDefaultPointOn));
        w.symbol->setCurrentIndex(comboIndex(w.symbol, cfg.readNum(pointSymbolKey(i), kDefaultPointSymbol)));
        w.color->setCurrentColor(cfg.readColor(pointColorKey(i), kDefaultPointColor));
        w.size->setValue(cfg.readNum(pointSizeKey(i), kDefaultPointSize));
    }
    mMarkColor->setCurrentColor(cfg.readColor(kMarkColor, kDefaultMarkColorPage));
    mMarkSize->setValue(cfg.readNum(kMarkSize, kDefaultMarkSize));
    mBlunderColor->setCurrentColor(cfg.readColor(kBlunderColor, kDefaultBlunderColor));
    mBlunderSize->setValue(cfg.readNum(kBlunderSize, kDefaultBlunderSize));
}
