// SPDX-License-Identifier: GPL-3.0-or-later
// The window that shows the object points of the open project in one projection plane:
// an SObjectView with tool bars, menus, zoom spin box and keyboard toggles. At most one
// viewer exists per plane; class-wide operations reach all existing viewers at once.
#pragma once

#include "misc/SCanvasGeometry.h"
#include "misc/SGlobal.h"

#include <QMainWindow>
#include <QSet>
#include <array>
#include <span>
#include <vector>

class QAction;
class QLabel;
class QActionGroup;
class QMenu;
class QSpinBox;
class QMenu;
class QToolBar;
class SImage;
class SObjectPoint;
class SObjectPointList;
class SSearchRequest;

class SObjectView;

class SObjectViewer : public QMainWindow {
    Q_OBJECT

public:
    static constexpr std::array kFixedZooms = SCanvasGeometry::kFixedZooms;
    static constexpr int kFixedZoomCount = int(kFixedZooms.size());

    SObjectViewer(int plane, QWidget *parent = nullptr);
    ~SObjectViewer() override;

    bool setObjectPoints(SObjectPointList *list, bool sigmasAvailable);
    bool isReady() const;
    // Copies the configuration into the view; with update the view repaints.
    void applyPrefs(bool update);
    // Re-reads the view additions of the Extras menu (colour by error, scale bar, vertical
    // exaggeration), shows them in the menu and repaints.
    void applyExtras();
    // The Extras menu's choices: colour by error (off, residual, sigma), the scale bar and,
    // in XZ and YZ, the vertical exaggeration (null in XY).
    QActionGroup *colourByGroup() const { return mColourByGroup; }
    QAction *scaleBarAction() const { return mScaleBarAction; }
    QAction *densityAction() const { return mDensityAction; }
    QActionGroup *exaggerationGroup() const { return mExaggerationGroup; }

    int plane() const { return mPlane; }
    SObjectView *view() const { return mView; }
    QSpinBox *zoomSpinBox() const { return mZoomSpinBox; }
    QLabel *cursorLabel() const { return mCursorLabel; }
    QAction *zoomInAction() const { return mZoomInAction; }
    QAction *zoomOutAction() const { return mZoomOutAction; }
    QAction *fitWindowAction() const { return mFitWindowAction; }
    QAction *fixedZoomAction(int i) const { return mFixedZoomActions[size_t(i)]; }

    // Class-wide operations over the existing viewers, in plane order XY, XZ, YZ.
    static SObjectViewer *instance(int plane, QWidget *parent);
    static SObjectViewer *viewer(int plane); // null when the plane has no viewer
    static void applyPrefsToAll();
    static void applyExtrasToAll();
    static void deselectPoints();
    // Runs the search request once on the points the views share; every view takes the
    // selected centres and repaints. SException of a blunder search passes on.
    static void selectPoints(const SSearchRequest &request);
    // Replaces the selection of every existing view by the image's points and centre.
    static void selectImagePoints(SImage *image);
    // Replaces the selection in every existing view by the points with these ids.
    static void selectPointIds(const QSet<int> &pointIds, const QSet<int> &centreIds);
    // After a selection change of any origin: every view repaints, and the status bars and
    // the message window say how many points are selected.
    static void selectionChanged();
    static QString selectionSummary(int selected, int total);
    // Scrolls the view so that the point lies in the middle of the visible area.
    void centreOn(const SObjectPoint &point);
    static void hideToolBars(bool hide);
    static void saveViewerPlacements();
    static void closeAll();

public slots:
    void slotZoomed(int iPercent);

signals:
    void sigRequestObjectPreferences();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void _slotExportPicture();

private:
    void createActions();
    void createZoomActions(QToolBar *zoomBar, QMenu *zoomMenu);
    void buildViewExtras(QMenu *menu);
    void closeWindow();

    int mPlane;
    SObjectView *mView;
    QAction *mZoomInAction = nullptr;
    QAction *mZoomOutAction = nullptr;
    QAction *mFitWindowAction = nullptr;
    std::array<QAction *, kFixedZoomCount> mFixedZoomActions{};
    QSpinBox *mZoomSpinBox = nullptr;
    QLabel *mCursorLabel = nullptr; // ground coordinates under the mouse
    QActionGroup *mColourByGroup = nullptr;
    QAction *mScaleBarAction = nullptr;
    QAction *mDensityAction = nullptr;
    QActionGroup *mExaggerationGroup = nullptr;

    // The views that show points, in plane order; they all show the same list.
    static std::vector<SObjectView *> readyViews();
    // Every view takes the centres of a class-wide selection and repaints.
    static void showSelection(const std::vector<SObjectView *> &views, bool replace,
                              std::span<SObjectPoint *const> centres);

    static std::array<SObjectViewer *, SGlobal::kPlaneCount> _viewer;
};
