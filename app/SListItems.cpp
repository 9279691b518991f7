#include "SListItems.h"

#include "Mu.h"
#include "SGlobal.h"

#include <QPixmap>

namespace {

constexpr int kImageListItemType = QTreeWidgetItem::UserType + 1;
constexpr int kObjectListItemType = QTreeWidgetItem::UserType + 2;

// The two balls are made once per process, at the first object item.
const QPixmap *ball(bool active)
{
    static const QPixmap *pRedBall = nullptr;
    static const QPixmap *pGreenBall = nullptr;
    static bool made = false;
    if (!made) {
        made = true;
        const QPixmap red(QStringLiteral(":/images/ball-red.png"));
        const QPixmap green(QStringLiteral(":/images/ball-green.png"));
        if (!red.isNull())
            pRedBall = new QPixmap(red);
        if (!green.isNull())
            pGreenBall = new QPixmap(green);
        MU_CHECK(pRedBall, "Varlomin");
        MU_CHECK(pGreenBall, "Varlomin");
    }
    return active ? pGreenBall : pRedBall;
}

int sign(long long d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

} // namespace

int compareNumericTexts(const QString &a, const QString &b)
{
    return sign(static_cast<long long>(a.toInt(nullptr, 10)) - b.toInt(nullptr, 10));
}

SImageListItem::SImageListItem(QTreeWidget *list, int imageId, int pointCount)
    : QTreeWidgetItem(list, kImageListItemType)
{
    setText(0, QString::number(imageId));
    setText(1, QString::number(pointCount));
}

bool SImageListItem::operator<(const QTreeWidgetItem &other) const
{
    const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
    return compareNumericTexts(text(column), other.text(column)) < 0;
}

SObjectListItem::SObjectListItem(QTreeWidget *list, int pointId, int code, bool active)
    : QTreeWidgetItem(list, kObjectListItemType), mPointId(pointId), mCode(code), mActive(active)
{
    setText(0, QString::number(pointId));
    setText(1, Mu::tr(pointCodeName(pointCodeIndex(code), false)));
    if (const QPixmap *pix = ball(active))
        setIcon(2, QIcon(*pix));
    setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

bool SObjectListItem::operator<(const QTreeWidgetItem &other) const
{
    if (other.type() != kObjectListItemType)
        return QTreeWidgetItem::operator<(other);
    const auto &o = static_cast<const SObjectListItem &>(other);
    switch (treeWidget() ? treeWidget()->sortColumn() : 0) {
    case 0: return mPointId < o.mPointId;
    case 1: return mCode < o.mCode;
    case 2: return !mActive && o.mActive; // blunders first
    default: return false;
    }
}
