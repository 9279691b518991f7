// The items of the project dock's image and object lists, ordered by number rather
// than by text.
#pragma once

#include <QTreeWidgetItem>

// Image list: column 0 the image number, column 1 its number of points.
class SImageListItem : public QTreeWidgetItem {
public:
    SImageListItem(QTreeWidget *list, int imageId, int pointCount);
    bool operator<(const QTreeWidgetItem &other) const override;
};

// Object list: point id, point type and a ball showing the blunder state. Expandable;
// the images that observe the point are added as children on demand.
class SObjectListItem : public QTreeWidgetItem {
public:
    SObjectListItem(QTreeWidget *list, int pointId, int code, bool active);
    bool operator<(const QTreeWidgetItem &other) const override;

    int pointId() const { return mPointId; }
    int code() const { return mCode; }
    bool isActive() const { return mActive; }

private:
    int mPointId;
    int mCode;
    bool mActive;
};

// -1, 0 or 1 for the base-10 integers in two texts (a text that is no number counts as 0).
int compareNumericTexts(const QString &a, const QString &b);
