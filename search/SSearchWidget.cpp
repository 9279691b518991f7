// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/SSearchWidget.h"

#include "framework/Mu.h"
#include "framework/MuMath.h"
#include "framework/MxStd.h"
#include "search/SPointCodeMask.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <vector>

using SGlobal::SearchModeE;
using SGlobal::SelectionModeE;

namespace {

constexpr int kGroupMargin = 11;
constexpr int kGroupSpacing = 5;
constexpr int kGroupTopSpace = 11;
constexpr int kMinMaxGap = 10;
constexpr int kIgnore = -1; // a spin box at this value leaves its bound unused

// The widest value a field must show; fields are no wider than this text.
const char *const kWidestFieldText = "10000000.99";

// Decimal numbers not below -1, with any number of decimals and no upper limit.
const char *const kNumberPattern = R"(-(1(\.0*)?|0?(\.\d*)?)|\d*(\.\d*)?)";

const QChar kAnyOne(u'?');
const QChar kAnyRun(u'*');

// The tab's order of the groups; the point-code group stands above the blunder group.
const std::array<SearchModeE, 7> kTabOrder = {SGlobal::SM_PointId,   SGlobal::SM_ImageId, SGlobal::SM_Links,
                                              SGlobal::SM_Residuals, SGlobal::SM_Sigmas,  SGlobal::SM_PointCode,
                                              SGlobal::SM_Blunder};

QString minTip() { return Mu::tr("Enter minimum value or -1 (IGNORE)"); }
QString maxTip() { return Mu::tr("Enter maximum value or -1 (IGNORE)"); }

// The text of a field as typed; an empty field gives an empty, not a null, text, so that
// the receivers can tell a missing bound (null) from an empty one.
QString typedText(const QLineEdit *edit)
{
    const QString text = edit->text();
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

SSearchWidget::SSearchWidget(QWidget *parent) : QWidget(parent)
{
    Mu::debug("SSearchWidget");
    qRegisterMetaType<SGlobal::SelectionModeE>("SGlobal::SelectionModeE");
    qRegisterMetaType<SGlobal::SearchModeE>("SGlobal::SearchModeE");
    setFocusPolicy(Qt::StrongFocus);
    mFieldWidth = QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromLatin1(kWidestFieldText));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    outer->setSpacing(Mx::stdSpace());
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    auto *content = new QWidget(scroll);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    column->setSpacing(Mx::stdSpace());

    mPointId = _makeIdGroup(SGlobal::SM_PointId, Mu::tr("P&oint-ID"), Mu::tr("Select points with matching IDs"), 0,
                            Mu::tr("Select to choose a range of Point IDs"),
                            Mu::tr("Select to choose Point IDs matching a pattern"));
    mImageId = _makeIdGroup(SGlobal::SM_ImageId, Mu::tr("I&mage-ID"), Mu::tr("Select images with matching IDs"), 2,
                            Mu::tr("Select to choose a range of Image IDs"),
                            Mu::tr("Select to choose Image IDs matching a pattern"));

    QGroupBox *links = _makeGroup(SGlobal::SM_Links, Mu::tr("# &Links (Min./Max.)"),
                                  Mu::tr("Select points with number of links within a defined range"));
    mLinksMin = _makeSpinBox(links, minTip(), QStringLiteral("linksMin"));
    mLinksMax = _makeSpinBox(links, maxTip(), QStringLiteral("linksMax"));
    _addMinMaxRow(_groupLayout(links), nullptr, mLinksMin, mLinksMax);

    QGroupBox *residuals = _makeGroup(SGlobal::SM_Residuals, Mu::tr("&Residuals (Min./Max.)"),
                                      Mu::tr("Select points with residuals within a defined range"));
    mResidualsMin = _makeNumberField(residuals, minTip(), QStringLiteral("residualsMin"));
    mResidualsMax = _makeNumberField(residuals, maxTip(), QStringLiteral("residualsMax"));
    _addMinMaxRow(_groupLayout(residuals), nullptr, mResidualsMin, mResidualsMax);

    QGroupBox *sigmas = _makeGroup(SGlobal::SM_Sigmas, Mu::tr("&Sigmas (Min./Max.)"),
                                   Mu::tr("Select points with sigmas within a defined range"));
    mSigmasMin = _makeNumberField(sigmas, minTip(), QStringLiteral("sigmasMin"));
    mSigmasMax = _makeNumberField(sigmas, maxTip(), QStringLiteral("sigmasMax"));
    _addMinMaxRow(_groupLayout(sigmas), nullptr, mSigmasMin, mSigmasMax);

    QGroupBox *blunder =
        _makeGroup(SGlobal::SM_Blunder, Mu::tr("&Blunder"), Mu::tr("Choose to select all eliminated points"));
    _groupLayout(blunder)->addWidget(new QLabel(Mu::tr("Select all visible eliminated points"), blunder));

    QGroupBox *codes =
        _makeGroup(SGlobal::SM_PointCode, Mu::tr("Poi&nt-Code"), Mu::tr("Choose the types of points to be selected"));
    QVBoxLayout *codesLayout = _groupLayout(codes);
    for (int i = 0; i < kPointCodeBoxCount; ++i) {
        mPointCodes[i] = new QCheckBox(Mu::tr(pointCodeName(i, true)), codes);
        mPointCodes[i]->setObjectName(QStringLiteral("pointCode_%1").arg(i));
        codesLayout->addWidget(mPointCodes[i]);
    }

    for (SearchModeE mode : kTabOrder)
        column->addWidget(mGroups[mode]);

    auto *selection = new QGroupBox(Mu::tr("Selection Mode"), content);
    auto *selectionLayout = new QVBoxLayout(selection);
    mSelectionMode = new QButtonGroup(this);
    mSelectionMode->setExclusive(true);
    for (int mode : {SGlobal::SL_Erase, SGlobal::SL_Add}) {
        auto *radio = new QRadioButton(Mu::tr(selectionModeName(mode)), selection);
        radio->setObjectName(QStringLiteral("selectionMode_%1").arg(mode));
        mSelectionMode->addButton(radio, mode);
        selectionLayout->addWidget(radio);
    }
    mSelectionMode->button(SGlobal::SL_Erase)->setChecked(true);
    column->addWidget(selection);

    auto *buttons = new QHBoxLayout;
    auto *deselect = new QPushButton(Mu::tr("&Deselect all"), content);
    deselect->setObjectName(QStringLiteral("deselectAll"));
    auto *select = new QPushButton(Mu::tr("S&elect"), content);
    select->setObjectName(QStringLiteral("select"));
    buttons->addWidget(deselect);
    buttons->addWidget(select);
    buttons->addStretch();
    column->addLayout(buttons);
    column->addStretch();
    connect(deselect, &QPushButton::clicked, this, &SSearchWidget::sigRequestDeselectAll);
    connect(select, &QPushButton::clicked, this, &SSearchWidget::_slotSelect);
    scroll->setWidget(content);

    for (int i = 0; i < kGroupCount; ++i) {
        mGroups[i]->setChecked(i == SGlobal::SM_PointId);
        connect(mGroups[i], &QGroupBox::toggled, this, [this, i] { _slotSelectGroup(i); });
    }
}

SSearchWidget::~SSearchWidget() { Mu::debug("~SSearchWidget"); }

QGroupBox *SSearchWidget::_makeGroup(SearchModeE mode, const QString &title, const QString &tip)
{
    auto *group = new QGroupBox(title, this);
    group->setObjectName(QStringLiteral("group_%1").arg(int(mode)));
    group->setToolTip(tip);
    group->setCheckable(true);
    mGroups[mode] = group;
    return group;
}

QVBoxLayout *SSearchWidget::_groupLayout(QGroupBox *group)
{
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(kGroupMargin, kGroupMargin, kGroupMargin, kGroupMargin);
    layout->setSpacing(kGroupSpacing);
    layout->addSpacing(kGroupTopSpace);
    return layout;
}

SSearchWidget::IdFields SSearchWidget::_makeIdGroup(SearchModeE mode, const QString &title, const QString &tip,
                                                    int rangeId, const QString &rangeTip, const QString &patternTip)
{
    QGroupBox *group = _makeGroup(mode, title, tip);
    QVBoxLayout *layout = _groupLayout(group);
    const QString prefix = mode == SGlobal::SM_PointId ? QStringLiteral("pointId") : QStringLiteral("imageId");

    IdFields fields;
    fields.patternId = rangeId + 1;
    fields.choice = new QButtonGroup(this);
    fields.choice->setExclusive(true);
    auto *range = new QRadioButton(Mu::tr("Min. / Max.:"), group);
    range->setObjectName(prefix + QStringLiteral("Range"));
    range->setToolTip(rangeTip);
    auto *pattern = new QRadioButton(Mu::tr("Pattern:"), group);
    pattern->setObjectName(prefix + QStringLiteral("Pattern"));
    pattern->setToolTip(patternTip);
    fields.choice->addButton(range, rangeId);
    fields.choice->addButton(pattern, fields.patternId);
    connect(fields.choice, &QButtonGroup::idClicked, this, &SSearchWidget::_slotSetGroupBoxWidgets);

    fields.min = _makeSpinBox(group, minTip(), prefix + QStringLiteral("Min"));
    fields.max = _makeSpinBox(group, maxTip(), prefix + QStringLiteral("Max"));
    _addMinMaxRow(layout, range, fields.min, fields.max);

    fields.pattern = new QLineEdit(group);
    fields.pattern->setObjectName(prefix + QStringLiteral("PatternText"));
    fields.pattern->setToolTip(Mu::tr("Enter '?' or '*' as special characters"));
    fields.pattern->setMaximumWidth(mFieldWidth);
    auto *patternRow = new QHBoxLayout;
    patternRow->setSpacing(kGroupSpacing);
    patternRow->addWidget(pattern);
    patternRow->addWidget(fields.pattern);
    patternRow->addStretch();
    layout->addLayout(patternRow);
    return fields;
}

QSpinBox *SSearchWidget::_makeSpinBox(QWidget *parent, const QString &tip, const QString &name)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(kIgnore, Mu::Math::MAX_INT);
    spin->setSingleStep(1);
    spin->setSpecialValueText(Mu::tr("IGNORE"));
    spin->setValue(kIgnore);
    spin->setToolTip(tip);
    spin->setMaximumWidth(mFieldWidth);
    return spin;
}

QLineEdit *SSearchWidget::_makeNumberField(QWidget *parent, const QString &tip, const QString &name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kNumberPattern)), edit));
    edit->setToolTip(tip);
    edit->setMaximumWidth(mFieldWidth);
    return edit;
}

void SSearchWidget::_addMinMaxRow(QVBoxLayout *layout, QWidget *lead, QWidget *min, QWidget *max)
{
    // Set now: a row not yet in its group's layout reports no spacing to subtract from.
    auto *row = new QHBoxLayout;
    row->setSpacing(kGroupSpacing);
    if (lead)
        row->addWidget(lead);
    row->addWidget(min);
    row->addSpacing(kMinMaxGap - kGroupSpacing);
    row->addWidget(max);
    row->addStretch();
    layout->addLayout(row);
}

void SSearchWidget::_slotSetGroupBoxWidgets(int iWID)
{
    Mu::debug("_slotSetGroupBoxWidgets: %d", iWID);
    const IdFields *fields = nullptr;
    if (iWID == 0 || iWID == 1)
        fields = &mPointId;
    else if (iWID == 2 || iWID == 3)
        fields = &mImageId;
    if (!fields)
        return;
    const bool pattern = iWID == fields->patternId;
    fields->min->setEnabled(!pattern);
    fields->max->setEnabled(!pattern);
    fields->pattern->setEnabled(pattern);
}

void SSearchWidget::_slotSelectGroup(int iGroup)
{
    Mu::debug("_slotSelectGroup: %d", iGroup);
    if (iGroup < 0 || iGroup >= kGroupCount || !mGroups[iGroup]->isChecked())
        return;
    std::vector<QSignalBlocker> blockers;
    blockers.reserve(kGroupCount);
    for (QGroupBox *group : mGroups)
        blockers.emplace_back(group);
    for (int i = 0; i < kGroupCount; ++i) {
        if (i != iGroup)
            mGroups[i]->setChecked(false);
    }
    mGroups[iGroup]->setFocus();
}

void SSearchWidget::_slotSelect()
{
    Mu::debug("SSearchWidget::_slotSelect");
    int searchMode = -1;
    for (int i = 0; i < kGroupCount; ++i) {
        if (mGroups[i]->isChecked())
            searchMode = i;
    }
    if (searchMode < 0) {
        Mu::warn("%s", qPrintable(Mu::tr("No mode for searching points enabled!")));
        return;
    }
    const int selectionMode = mSelectionMode->checkedId();
    if (selectionMode < 0) {
        Mu::warn("%s", qPrintable(Mu::tr("No mode for Selection!")));
        return;
    }
    QString strPar1;
    QString strPar2;
    bool bPatternMatching = false;
    if (!_checkParameters(SearchModeE(searchMode), strPar1, strPar2, bPatternMatching)) {
        Mu::warn("%s", qPrintable(Mu::tr("No valid parameters for search!")));
        return;
    }
    emit sigRequestSelection(SelectionModeE(selectionMode), SearchModeE(searchMode), strPar1, strPar2,
                             bPatternMatching);
}

bool SSearchWidget::_checkParameters(SearchModeE searchMode, QString &strPar1, QString &strPar2, bool &bPatternMatching)
{
    switch (searchMode) {
    case SGlobal::SM_PointId: return _checkIdParameters(mPointId, strPar1, strPar2, bPatternMatching);
    case SGlobal::SM_ImageId: return _checkIdParameters(mImageId, strPar1, strPar2, bPatternMatching);
    case SGlobal::SM_Links: return _checkRange(mLinksMin, mLinksMax, strPar1, strPar2);
    case SGlobal::SM_Residuals: return _checkNumbers(mResidualsMin, mResidualsMax, strPar1, strPar2);
    case SGlobal::SM_Sigmas: return _checkNumbers(mSigmasMin, mSigmasMax, strPar1, strPar2);
    case SGlobal::SM_Blunder: return true;
    case SGlobal::SM_PointCode: return _checkPointCodes(strPar1);
    }
    return false;
}

bool SSearchWidget::_checkIdParameters(const IdFields &fields, QString &strPar1, QString &strPar2,
                                       bool &bPatternMatching)
{
    bPatternMatching = fields.choice->checkedId() == fields.patternId;
    if (bPatternMatching)
        return _checkPattern(fields.pattern, strPar1);
    return _checkRange(fields.min, fields.max, strPar1, strPar2);
}

bool SSearchWidget::_checkPattern(QLineEdit *edit, QString &strPar1)
{
    strPar1 = typedText(edit);
    for (const QChar ch : strPar1) {
        const bool digit = ch >= u'0' && ch <= u'9';
        if (!digit && ch != kAnyOne && ch != kAnyRun)
            return _refuse(edit, Mu::tr("Illegal character '%c' in Pattern!").replace(QLatin1String("%c"), ch));
    }
    return true;
}

bool SSearchWidget::_checkRange(QSpinBox *min, QSpinBox *max, QString &strPar1, QString &strPar2)
{
    const int lo = min->value();
    const int hi = max->value();
    if (lo < 0 && hi < 0)
        return _refuse(min, Mu::tr("No parameters selected!"));
    if (lo < 0) {
        strPar2 = QString::number(hi);
        return true;
    }
    if (hi < 0) {
        strPar1 = QString::number(lo);
        return true;
    }
    if (lo > hi)
        return _refuse(min, QString::asprintf(qPrintable(Mu::tr("Minimum (%d) > Maximum (%d)!")), lo, hi));
    strPar1 = QString::number(lo);
    strPar2 = QString::number(hi);
    return true;
}

bool SSearchWidget::_checkNumbers(QLineEdit *min, QLineEdit *max, QString &strPar1, QString &strPar2)
{
    strPar1 = typedText(min);
    strPar2 = typedText(max);
    if (strPar1.isEmpty() && strPar2.isEmpty())
        return _refuse(min, Mu::tr("No parameters selected!"));
    // An empty field reads as 0, as does anything the validator let through half-typed.
    const float lo = strPar1.toFloat();
    const float hi = strPar2.toFloat();
    if (lo < 0 && hi < 0)
        return _refuse(min, Mu::tr("No parameters selected!"));
    if (lo < 0) {
        strPar1 = QString();
        return true;
    }
    if (hi < 0) {
        strPar2 = QString();
        return true;
    }
    if (lo > hi)
        return _refuse(
            min, QString::asprintf(qPrintable(Mu::tr("Minimum (%.2f) > Maximum (%.2f)!")), double(lo), double(hi)));
    return true;
}

bool SSearchWidget::_checkPointCodes(QString &strPar1)
{
    std::array<bool, SGlobal::kPointCodeIndexCount> chosen{};
    for (int i = 0; i < kPointCodeBoxCount; ++i)
        chosen[i] = mPointCodes[i]->isChecked();
    strPar1 = SPointCodeMask::toText(chosen);
    if (!strPar1.contains(u'1'))
        return _refuse(nullptr, Mu::tr("No point-code activated!"));
    return true;
}

bool SSearchWidget::_refuse(QWidget *focus, const QString &warning)
{
    if (focus)
        focus->setFocus();
    Mu::warn("%s", qPrintable(warning));
    return false;
}
