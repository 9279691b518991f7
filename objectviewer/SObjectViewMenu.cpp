// SPDX-License-Identifier: GPL-3.0-or-later
// The object view's context menu: its entries follow the canvas state, and each entry
// runs the view slot of the same meaning.
#include "framework/Mu.h"
#include "misc/SObjectPoint.h"
#include "objectviewer/SObjectIcons.h"
#include "objectviewer/SObjectView.h"

#include <QContextMenuEvent>
#include <QMenu>

namespace {

// Fills a translated printf-style format with one number.
QString fill(const QString &format, int value) { return QString::asprintf(format.toUtf8().constData(), value); }

} // namespace

QMenu *SObjectView::fillContextMenu()
{
    mContextMenu->clear();
    qDeleteAll(mSubMenus);
    mSubMenus.clear();
    if (!isReady())
        return mContextMenu;
    auto entry = [this](QMenu *menu, int id, const QString &text) {
        QAction *action = menu->addAction(text);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { _slotHandleContextMenu(id); });
        return action;
    };
    auto toggle = [](bool on, const char *hide, const char *show) { return Mu::tr(on ? hide : show); };

    if (zoomPercent() != kZoomDefault) {
        entry(mContextMenu, CM_Zoom100, Mu::tr("Zoom 100%"))->setIcon(SObjectIcons::zoom100());
        mContextMenu->addSeparator();
    }
    entry(mContextMenu, CM_PointIds, toggle(mCanvas.pointIdsOn(), "Hide Point-IDs", "Show Point-IDs"));
    entry(mContextMenu, CM_ImageIds, toggle(mCanvas.imageIdsOn(), "Hide Image-IDs", "Show Image-IDs"));
    entry(mContextMenu, CM_LinkCount, toggle(mCanvas.linkCountOn(), "Hide Number of Links", "Show Number of Links"));
    entry(mContextMenu, CM_Blunders, toggle(mCanvas.blundersOn(), "Hide Blunders", "Show Blunders"));

    auto *residuals = new QMenu(Mu::tr("&Residuals"), this);
    mSubMenus.push_back(residuals);
    entry(residuals, CM_ResidualsGraphical,
          toggle(mCanvas.residualsOn(VM_Graphical), "Hide Graphical", "Show Graphical"));
    entry(residuals, CM_ResidualsTextual, toggle(mCanvas.residualsOn(VM_Textual), "Hide Textual", "Show Textual"));
    mContextMenu->addMenu(residuals);
    if (mCanvas.sigmasAvailable()) {
        auto *sigmas = new QMenu(Mu::tr("&Sigmas"), this);
        mSubMenus.push_back(sigmas);
        entry(sigmas, CM_SigmasGraphical, toggle(mCanvas.sigmasOn(VM_Graphical), "Hide Graphical", "Show Graphical"));
        entry(sigmas, CM_SigmasTextual, toggle(mCanvas.sigmasOn(VM_Textual), "Hide Textual", "Show Textual"));
        mContextMenu->addMenu(sigmas);
    }
    mContextMenu->addSeparator();
    entry(mContextMenu, CM_Connections, toggle(mCanvas.connectionsOn(), "Hide Connections", "Show Connections"));
    // A search selection keeps no count: any selected flag offers the entry.
    if (mCanvas.objectPoints()->selectedCount() > 0 || mCanvas.objectPoints()->anySelected()) {
        mContextMenu->addSeparator();
        entry(mContextMenu, CM_DeselectAll, Mu::tr("Deselect all Points"));
    }
    return mContextMenu;
}

void SObjectView::contextMenuEvent(QContextMenuEvent *event)
{
    fillContextMenu();
    if (!mContextMenu->actions().isEmpty())
        mContextMenu->popup(event->globalPos());
}

void SObjectView::_slotHandleContextMenu(int iPopId)
{
    switch (iPopId) {
    case CM_Zoom100: slotZoom(kZoomDefault); break;
    case CM_PointIds: slotTogglePointIds(); break;
    case CM_ImageIds: slotToggleImageIds(); break;
    case CM_Blunders: slotToggleBlunders(); break;
    case CM_ResidualsGraphical: slotToggleResiduals(VM_Graphical); break;
    case CM_ResidualsTextual: slotToggleResiduals(VM_Textual); break;
    case CM_SigmasGraphical: slotToggleSigmas(VM_Graphical); break;
    case CM_SigmasTextual: slotToggleSigmas(VM_Textual); break;
    case CM_LinkCount: slotToggleShowLinkCount(); break;
    case CM_DeselectAll: slotDeselectPoints(); break;
    case CM_Connections: slotToggleShowConnections(); break;
    default: Mu::warn("%s", qPrintable(fill(Mu::tr("Invalid case: %d!"), iPopId))); break;
    }
}
