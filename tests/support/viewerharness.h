#pragma once
// A viewer on recording doubles, with documents made as empty files in a folder the test
// owns. Header only: tests that include it link ktdv_viewer.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include "platform/settingsstore.h"
#include "support/doubles.h"
#include "support/rows.h"
#include "support/scriptedprompts.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"
#include "viewer/toolbars/toolbar.h"

namespace ktdv::test {

struct ViewerHarness {
    QTemporaryDir dir;
    std::shared_ptr<DoubleFactory> factory = std::make_shared<DoubleFactory>();
    std::unique_ptr<ViewerControl> viewer;

    // prepare runs before the viewer is created (settings, machine values, engine).
    explicit ViewerHarness(const std::function<void(ViewerHarness&)>& prepare = {}, int width = 800,
                           int height = 600) {
        moduleState() = ViewerModuleState();
        if (prepare)
            prepare(*this);
        viewer = std::make_unique<ViewerControl>(factory);
        viewer->resize(width, height);
        editor().calls.clear();
        thumbs().calls.clear();
    }

    RecordingEditor& editor() { return *factory->editor; }
    RecordingThumbnails& thumbs() { return *factory->thumbs; }
    ScriptedPromptService& prompts() { return *factory->prompts; }
    SettingsStore& settings() { return *factory->settings; }
    const ViewerWidgets& w() { return viewer->widgets(); }
    Toolbar& main() { return *w().mainToolbar; }
    Toolbar& ocr() { return *w().ocrToolbar; }
    QString panel(const char* key) { return w().statusBar->text(QString::fromLatin1(key)); }

    // A file the editor double can load, with its page count and attributes: a bare TIFF
    // header when the name says .tif, .tiff or .fax (the kind comes from the content), else
    // empty.
    QString document(const QString& name, int pages = 1, const QString& attributes = "A") {
        const QString path = dir.filePath(name);
        QFile f(path);
        const bool tiff = QStringList{"tif", "tiff", "fax"}.contains(QFileInfo(name).suffix(),
                                                                     Qt::CaseInsensitive);
        if (f.open(QIODevice::WriteOnly) && tiff)
            f.write("II*\0\0\0\0\0", 8);
        editor().documents.insert(path, pages);
        editor().attributes.insert(path, attributes);
        return path;
    }

    // Loads a page the way navigation does.
    void load(const QString& path, int page = 0) {
        QString p = path;
        viewer->session().LoadPage(p, QStringLiteral("navigate"), page);
    }

    QStringList tabs() {
        QStringList captions;
        for (int i = 0; i < w().tabPages->count(); ++i)
            captions << w().tabPages->tabText(i);
        return captions;
    }

    // Enabled states of toolbar buttons as a string of 0/1, e.g. "0110".
    static QString states(Toolbar& bar, std::initializer_list<const char*> keys) {
        QString s;
        for (const char* k : keys)
            s += bar.enabled(QString::fromLatin1(k)) ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    QString mainStates(std::initializer_list<const char*> keys) { return states(main(), keys); }
};

}  // namespace ktdv::test
