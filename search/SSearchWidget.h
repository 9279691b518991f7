// SPDX-License-Identifier: GPL-3.0-or-later
// The search tab: the user picks one criterion, enters its bounds or pattern and asks for
// the matching object points to be selected. The widget only checks and encodes the
// request; the object viewers carry it out.
#pragma once

#include "misc/SGlobal.h"
#include "search/SSearchRequest.h"

#include <QString>
#include <QWidget>
#include <array>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;

class SSearchWidget : public QWidget {
    Q_OBJECT
public:
    explicit SSearchWidget(QWidget *parent);
    ~SSearchWidget() override;

signals:
    void sigRequestSelection(const SSearchRequest &request);
    void sigRequestDeselectAll();

private slots:
    void _slotSetGroupBoxWidgets(int iWID);
    void _slotSelectGroup(int iGroup);
    void _slotSelect();

private:
    static constexpr int kGroupCount = 7;
    static constexpr int kPointCodeBoxCount = 6; // lonely image points cannot be searched

    // The fields of the point-id and image-id groups.
    struct IdFields {
        QButtonGroup *choice = nullptr;
        QSpinBox *min = nullptr;
        QSpinBox *max = nullptr;
        QLineEdit *pattern = nullptr;
        int patternId = 0;
    };

    // The request the fields show, valid or refused, and the field that gets the focus
    // when it is refused.
    SSearchRequest _request(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                            QWidget **focus) const;
    SSearchRequest _idRequest(SGlobal::SelectionModeE selectionMode, SGlobal::SearchModeE searchMode,
                              const IdFields &fields, QWidget **focus) const;
    QString _pointCodeMask() const;

    QWidget *_makeContent(QWidget *parent);
    void _addSelectionRows(QWidget *content, QVBoxLayout *column);
    QGroupBox *_makeGroup(SGlobal::SearchModeE mode, const QString &title, const QString &tip);
    QVBoxLayout *_groupLayout(QGroupBox *group);
    IdFields _makeIdGroup(SGlobal::SearchModeE mode, const QString &title, const QString &tip, int rangeId,
                          const QString &rangeTip, const QString &patternTip);
    QSpinBox *_makeSpinBox(QWidget *parent, const QString &tip, const QString &name);
    QLineEdit *_makeNumberField(QWidget *parent, const QString &tip, const QString &name);
    void _addMinMaxRow(QVBoxLayout *layout, QWidget *lead, QWidget *min, QWidget *max);

    std::array<QGroupBox *, kGroupCount> mGroups{};
    IdFields mPointId;
    IdFields mImageId;
    QSpinBox *mLinksMin = nullptr;
    QSpinBox *mLinksMax = nullptr;
    QLineEdit *mResidualsMin = nullptr;
    QLineEdit *mResidualsMax = nullptr;
    QLineEdit *mSigmasMin = nullptr;
    QLineEdit *mSigmasMax = nullptr;
    std::array<QCheckBox *, kPointCodeBoxCount> mPointCodes{};
    QButtonGroup *mSelectionMode = nullptr;
    int mFieldWidth = 0;
};
