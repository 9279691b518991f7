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
    qRegisterMetaType<SSearchRequest>();
    setFocusPolicy(Qt::StrongFocus);
    mFieldWidth = QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromLatin1(kWidestFieldText));

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace(), Mx::stdSpace());
    outer->setSpacing(Mx::stdSpace());
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    outer->addWidget(scroll);
    QWidget *content = _makeContent(scroll);
    scroll->setWidget(content);

    for (int i = 0; i < kGroupCount; ++i) {
        mGroups[i]->setChecked(i == SGlobal::SM_PointId);
        connect(mGroups[i], &QGroupBox::toggled, this, [this, i] { _slotSelectGroup(i); });
    }
}

// The criterion groups in tab order, then the selection mode and the buttons.
QWidget *SSearchWidget::_makeContent(QWidget *parent)
{
    auto *content = new QWidget(parent);
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

    _addSelectionRows(content, column);
    return content;
}

void SSearchWidget::_addSelectionRows(QWidget *content, QVBoxLayout *column)
{
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
    QWidget *focus = nullptr;
    const SSearchRequest request = _request(SelectionModeE(selectionMode), SearchModeE(searchMode), &focus);
    if (!request.isValid()) {
        if (focus)
            focus->setFocus();
        Mu::warn("%s", qPrintable(request.warning()));
        Mu::warn("%s", qPrintable(Mu::tr("No valid parameters for search!")));
        return;
    }
    emit sigRequestSelection(request);
}

SSearchRequest SSearchWidget::_request(SelectionModeE selectionMode, SearchModeE searchMode, QWidget **focus) const
{
    switch (searchMode) {
    case SGlobal::SM_PointId: return _idRequest(selectionMode, searchMode, mPointId, focus);
    case SGlobal::SM_ImageId: return _idRequest(selectionMode, searchMode, mImageId, focus);
    case SGlobal::SM_Links:
        *focus = mLinksMin;
        return SSearchRequest::fromSpinValues(selectionMode, searchMode, mLinksMin->value(), mLinksMax->value());
    case SGlobal::SM_Residuals:
        *focus = mResidualsMin;
        return SSearchRequest::fromNumberTexts(selectionMode, searchMode, typedText(mResidualsMin),
                                               typedText(mResidualsMax));
    case SGlobal::SM_Sigmas:
        *focus = mSigmasMin;
        return SSearchRequest::fromNumberTexts(selectionMode, searchMode, typedText(mSigmasMin), typedText(mSigmasMax));
    case SGlobal::SM_Blunder: return SSearchRequest(selectionMode, searchMode);
    case SGlobal::SM_PointCode: return SSearchRequest::fromPointCodeMask(selectionMode, _pointCodeMask());
    }
    return SSearchRequest(selectionMode, searchMode);
}

SSearchRequest SSearchWidget::_idRequest(SelectionModeE selectionMode, SearchModeE searchMode, const IdFields &fields,
                                         QWidget **focus) const
{
    if (fields.choice->checkedId() == fields.patternId) {
        *focus = fields.pattern;
        return SSearchRequest::fromPattern(selectionMode, searchMode, typedText(fields.pattern));
    }
    *focus = fields.min;
    return SSearchRequest::fromSpinValues(selectionMode, searchMode, fields.min->value(), fields.max->value());
}

QString SSearchWidget::_pointCodeMask() const
{
    std::array<bool, SGlobal::kPointCodeIndexCount> chosen{};
    for (int i = 0; i < kPointCodeBoxCount; ++i)
        chosen[i] = mPointCodes[i]->isChecked();
    return SPointCodeMask::toText(chosen);
}
