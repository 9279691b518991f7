// SPDX-License-Identifier: GPL-3.0-or-later
// The image viewer window: browses the images of a project one at a time in a
// graphical view, a table and an info form, with navigation, zoom and mode controls.
// All open viewers are kept in a class-wide list for the main window's operations.
#pragma once

#include "misc/SCanvasGeometry.h"

#include <QList>
#include <QMainWindow>

#include <array>

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QSpinBox;
class QTabWidget;
class SImage;
class SImageInfoView;
class SImageList;
class SImageTableView;
class SImageView;

class SImageViewer : public QMainWindow {
    Q_OBJECT

public:
    enum NavigationE { NV_First = 0, NV_Prev, NV_Next, NV_Last };
    static constexpr std::array kFixedZooms = SCanvasGeometry::kFixedZooms;
    static constexpr int kFixedZoomCount = int(kFixedZooms.size());

    // Shows the image with number startImage, or the first image when there is none.
    SImageViewer(SImageList *images, QWidget *parent = nullptr, int startImage = -1);
    ~SImageViewer() override;

    bool isValid() const;
    // Number of the current image; -1 when the viewer is not valid.
    int currentImageNumber() const;
    SImage *currentImage() const;
    bool atFirstImage() const;
    bool atLastImage() const;

    // Re-reads the image viewer settings and hands them to the graphical view.
    void applyPrefs(bool repaint);
    // Re-reads the view additions of the Extras menu (colour by error, residual legend),
    // shows them in the menu and repaints.
    void applyExtras();

    SImageView *graphicalView() const { return mView; }
    SImageTableView *tableView() const { return mTableView; }
    SImageInfoView *infoView() const { return mInfoView; }
    QTabWidget *tabWidget() const { return mTabs; }
    QAction *navigationAction(NavigationE which) const { return mNavActions[which]; }
    QComboBox *imageCombo() const { return mImageCombo; }
    QAction *zoomInAction() const { return mZoomIn; }
    QAction *zoomOutAction() const { return mZoomOut; }
    QAction *fitWindowAction() const { return mFitWindow; }
    QAction *fixedZoomAction(int i) const { return mFixedZoomActions[size_t(i)]; }
    QSpinBox *zoomSpinBox() const { return mZoomSpin; }
    QAction *selectionAction() const { return mSelectAction; }
    QAction *preferencesAction() const { return mPrefsAction; }
    // The Extras menu's colour-by-error choices (off, residual, standardized) and the legend toggle.
    QActionGroup *colourByGroup() const { return mColourByGroup; }
    QAction *residualLegendAction() const { return mResidualLegendAction; }
    QString statusText(int i) const;

    // Class-wide operations of the main window.
    static const QList<SImageViewer *> &viewers();
    static void applyPrefsToAll();
    static void applyExtrasToAll();
    // Sigma 0 of the open block, for the standardized residuals of every image viewer.
    static void setSigma0(double sigma0);
    static void closeAll();
    static void hideToolBars(bool hide);
    static void saveViewerPlacements();

    // Keys of the placements in the image viewer group.

public slots:
    void slotSetImage(int iImage);
    // The image list was read again: fills the image box anew and shows the image with that
    // number (the first image when it is gone); zoom and mode stay.
    void slotImagesReloaded(int iImage);
    void slotSetImage(const QString &strImage);

protected slots:
    void slotNavFirst();
    void slotNavPrev();
    void slotNavNext();
    void slotNavLast();
    void slotZoomed(int percent);

signals:
    void sigRequestImagePreferences();
    void sigRequestSelection(SImage *image);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void _slotRequestSelection(bool on);
    void _slotExportPicture();

private:
    void buildWindow();
    void buildFileBar();
    void buildNavigationBar();
    void buildZoomBar();
    void buildExtrasBar();
    void buildViewExtras(QMenu *menu);
    QAction *makeAction(const QString &text, int icon, const QKeySequence &shortcut = QKeySequence());
    void fillImageCombo();
    void showCurrentImage();
    void navigate(int direction);
    void updateNavigation();
    void askImageNumber();
    QWidget *frame();

    SImageList *mImages;
    int mPosition = -1; // index of the current image in the list
    bool mSelectionRequestOn = false;
    QTabWidget *mTabs = nullptr;
    SImageInfoView *mInfoView = nullptr;
    SImageView *mView = nullptr;
    SImageTableView *mTableView = nullptr;
    std::array<QAction *, 4> mNavActions{};
    QComboBox *mImageCombo = nullptr;
    QAction *mZoomIn = nullptr;
    QAction *mZoomOut = nullptr;
    QAction *mFitWindow = nullptr;
    std::array<QAction *, kFixedZoomCount> mFixedZoomActions{};
    QSpinBox *mZoomSpin = nullptr;
    QActionGroup *mModeGroup = nullptr;
    QAction *mZoomModeAction = nullptr;
    QAction *mScrollModeAction = nullptr;
    QAction *mSelectAction = nullptr;
    QAction *mPrefsAction = nullptr;
    QAction *mCloseAction = nullptr;
    QAction *mExportAction = nullptr;
    QActionGroup *mColourByGroup = nullptr;
    QAction *mResidualLegendAction = nullptr;
    std::array<QLabel *, 3> mStatusLabels{};

    static QList<SImageViewer *> sViewers;
    static double sSigma0;
};
