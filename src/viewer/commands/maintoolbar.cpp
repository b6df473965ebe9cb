// The main toolbar's click handler (common preamble, dispatch, common tail, error report)
// and the routine that enables or disables the document-dependent buttons.
#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/errors.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"

namespace ktdv {

namespace {

constexpr int kMayTurnPages = 8;
constexpr int kMayAnnotate = 16;

bool isOneOf(const QString& key, std::initializer_list<const char*> keys) {
    for (const char* k : keys)
        if (key == QLatin1String(k))
            return true;
    return false;
}

}  // namespace

void ViewerControl::SetToolbarState(bool enable, bool excludeNav) {
    const int last = excludeNav ? 18 : 23;
    for (int pos = 2; pos <= last; ++pos)
        MainToolbar->setEnabled(pos, enable);
    if (enable && !(module().gUserPermission & kMayTurnPages)) {
        for (int pos = 16; pos <= 18; ++pos)
            MainToolbar->setEnabled(pos, false);
    }
    for (int pos = 6; pos <= 15; ++pos)
        OcrToolbar->setEnabled(pos, enable);
    if (enable && !(module().gUserPermission & kMayAnnotate)) {
        for (int pos = 6; pos <= 15; ++pos)
            OcrToolbar->setEnabled(pos, false);
    }
}

void ViewerControl::MainToolbar_ButtonClick(const QString& key) {
    ImageEditor& editor = *ctlKTImgEdit1;
    ThumbnailPane& thumbs = *ctlKTImgThumbs1;
    ViewerModuleState& g = module();
    const QString goToPage = QStringLiteral("GoToPage");
    const QString select = QStringLiteral("Select");
    const QString scroll = QStringLiteral("Scroll");
    QString ext;
    SuppressErrorReport = false;
    try {
        // Common preamble.
        const QString current = editor.imagePath();
        if (!current.isEmpty())
            ext = GetExtension(current);
        if (OcrToolbar->enabled(goToPage) && OcrToolbar->value(goToPage) == 1) {
            OcrToolbar->setValue(goToPage, 0);
            fraGoto->hide();
        }
        if (IsTiffExtension(ext))
            ReleaseAnnotationTools(0);
        if (key != scroll) {
            if (MainToolbar->value(scroll) == 1) {
                MainToolbar->setValue(scroll, 0);
                MainToolbar->setValue(select, 1);
            }
            editor.setTool(QStringLiteral("Default"));
        }

        // Dispatch.
        if (key == QLatin1String("Open")) {
            if (OcrToolbar->value(goToPage) == 1) {
                fraGoto->hide();
                OcrToolbar->setValue(goToPage, 0);
            }
            editor.setPageIndex(0);
            QString path = QStringLiteral("nopath");
            LoadPage(path, QStringLiteral("OpenImage"), 0);
            ext = GetExtension(g.gImagePath);
            if (!IsTiffExtension(ext)) {
                thumbs.widget()->hide();
                VScroll1->hide();
                btnSplitter->hide();
                tabPages->hide();
                ArrangePanes();
            } else if (m_settings->readBool(settings::Thumbs)) {
                thumbs.widget()->show();
                thumbs.setFirstPage(0);
                ResetPageRanges();
                thumbs.clearThumbnails();
                thumbs.redraw();
                thumbs.loadDocument(g.gImagePath);
                ArrangePanes();
                RefreshThumbnails();
                btnSplitter->show();
            }
        } else if (key == QLatin1String("Print")) {
            PrintCommand();
        } else if (isOneOf(key, {"ZoomIn", "ZoomOut", "FitWidth", "FitHeight", "OneToOne"})) {
            ZoomCommand(key);
        } else if (key == QLatin1String("Rotate90Left")) {
            editor.rotateLeft();
            editor.refresh();
            editor.updateLayout();
            editor.syncView();
            bPageModified = true;
        } else if (key == QLatin1String("Flip")) {
            editor.flip();
            editor.refresh();
            bPageModified = true;
        } else if (key == QLatin1String("Rotate90Right")) {
            editor.rotateRight();
            editor.refresh();
            editor.updateLayout();
            editor.syncView();
            bPageModified = true;
        } else if (key == select) {
            if (!editor.imagePath().isEmpty()) {
                MainToolbar->setValue(scroll, 0);
                ReleaseAnnotationTools(0);
            }
        } else if (key == scroll) {
            if (!editor.imagePath().isEmpty()) {
                MainToolbar->setValue(select, 0);
                editor.setTool(scroll);
                if (IsTiffExtension(ext))
                    ReleaseAnnotationTools(0);
            }
        } else if (isOneOf(key, {"FirstPage", "PreviousPage", "NextPage", "LastPage"})) {
            NavigateCommand(key);
        } else if (key == QLatin1String("ShowImage")) {
            thumbs.widget()->hide();
            m_settings->writeBool(settings::Thumbs, false);
            tabPages->hide();
            VScroll1->hide();
            btnSplitter->hide();
            ArrangePanes();
        } else if (key == QLatin1String("ShowBoth")) {
            if (!editor.imagePath().isEmpty()) {
                if (!IsTiffExtension(ext)) {
                    thumbs.widget()->hide();
                } else {
                    thumbs.clearThumbnails();
                    thumbs.redraw();
                    thumbs.loadDocument(editor.imagePath());
                    thumbs.widget()->show();
                    m_settings->writeBool(settings::Thumbs, true);
                    tabPages->show();
                    btnSplitter->show();
                    ArrangePanes();
                }
            }
        } else if (key == QLatin1String("Viewer Settings")) {
            editor.setTool(QStringLiteral("default"));
            editor.showSettings();
        }

        // Common tail.
        if (!bPageModified) {
            if (!editor.imagePath().isEmpty() && !m_settings->readBool(settings::ReadOnly) &&
                IsTiffExtension(ext) && (g.gUserPermission & kMayAnnotate)) {
                OcrToolbar->setEnabled(select, true);
            }
        } else {
            OcrToolbar->setValue(select, 0);
            OcrToolbar->setEnabled(select, false);
        }
    } catch (...) {
        const ViewerError e = currentError();
        if (!SuppressErrorReport)
            runUntrapped([&] {
                m_prompts->message(this, errorReport(QStringLiteral("MainToolbar Error("), e));
            });
    }
}

}  // namespace ktdv
