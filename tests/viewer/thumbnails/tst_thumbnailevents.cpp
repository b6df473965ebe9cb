// The viewer's handling of thumbnail clicks, page deletion and page moves, on recording
// doubles (the range tabs on a real pane: tst_viewerreal).
#include <QTabBar>
#include <QtTest>

#include "support/viewerharness.h"
#include "viewer/thumbnails/thumbnailevents.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

struct Thumbs : ViewerHarness {
    QString path;
    explicit Thumbs(int pages, const std::function<void(ViewerHarness&)>& prepare = {})
        : ViewerHarness([&](ViewerHarness& t) {
              t.settings().writeBool("bThumbs", true);
              if (prepare)
                  prepare(t);
          }) {
        viewer->setUserPermission(24);
        path = document("doc.tif", pages);
        viewer->OpenImage(path);
        thumbs().selected = 0;
        clear();
    }
    ThumbnailEvents& events() { return viewer->thumbnails(); }
    void clear() {
        editor().calls.clear();
        thumbs().calls.clear();
    }
    void click(int selected, int button = 1) {
        thumbs().selected = static_cast<qint16>(selected);
        int index = selected, shift = 0;
        float x = 10, y = 10;
        events().ctlKTImgThumbs1_ThumbClick(index, button, shift, x, y);
    }
    // The pane changed the file: it now holds this many pages.
    void pagesNow(int count) { editor().documents.insert(path, count); }
};

}  // namespace

class TestThumbnailEvents : public QObject {
    Q_OBJECT
private slots:
    void saveBeforeSwitch_data() {
        // chkSaveTIF: "" = absent
        columns<QString, QString, bool, bool>("chkSaveTIF", "attributes", "rotate", "saved");
        addRow("turned page saved first", "1", "A", true, true);
        addRow("read-only document", "1", "RA", true, false);
    }
    void saveBeforeSwitch() {
        auto [chkSaveTIF, attributes, rotate, saved] =
            fetch<QString, QString, bool, bool>("chkSaveTIF", "attributes", "rotate", "saved");
        Thumbs t(3, [&](ViewerHarness& h) {
            if (!chkSaveTIF.isEmpty())
                h.settings().setValue("chkSaveTIF", chkSaveTIF);
        });
        t.editor().attributes.insert(t.path, attributes);
        t.load(t.path, 1);
        if (rotate)
            t.viewer->MainToolbar_ButtonClick("Rotate90Left");
        t.clear();
        t.click(2);
        const QStringList order = only(t.editor().calls, {"savePageChanges", "setPageIndex"});
        QCOMPARE(order.first(), saved ? QString("savePageChanges(1,3)") : "setPageIndex(2)");
        // A saved page refreshes the thumbnails before the new page is shown.
        QCOMPARE(t.thumbs().calls.contains("reloadThumbnails"), saved);
        QVERIFY(!t.viewer->session().pageModified());
    }

    void pageChanged_data() {
        // tab: selected before; pageNumber: "" = the page was not reloaded
        columns<QString, int, int, bool, QStringList, int, QString>(
            "event", "pages", "tab", "ok", "tabs", "selectedAfter", "pageNumber");
        addRow("deleted: only page of the last range while it is shown", "delete", 51, 1, true,
               QStringList{"1...50"}, 0, "1 of 50");
        addRow("deleted: the range keeps pages, its first page shown", "delete", 120, 1, true,
               QStringList{"1...50", "51...100", "101...150"}, 1, "51 of 119");
        addRow("delete refused", "delete", 51, 0, false, QStringList{"1...50", "51...100"}, 0, "");
        addRow("moved: first page of the range shown", "move", 120, 2, true,
               QStringList{"1...50", "51...100", "101...150"}, 2, "101 of 120");
    }
    void pageChanged() {
        auto [event, pages, tab, ok, tabs, selectedAfter, pageNumber] =
            fetch<QString, int, int, bool, QStringList, int, QString>(
                "event", "pages", "tab", "ok", "tabs", "selectedAfter", "pageNumber");
        Thumbs t(pages);
        t.w().tabPages->setCurrentIndex(tab);
        const bool deleted = event == "delete";
        if (ok && deleted)
            t.pagesNow(pages - 1);
        t.clear();
        bool done = ok;
        if (deleted)
            t.events().ctlKTImgThumbs1_PageDeleted(done);
        else
            t.events().ctlKTImgThumbs1_PageMoved(done);

        QCOMPARE(t.tabs(), tabs);
        QCOMPARE(t.w().tabPages->currentIndex(), selectedAfter);
        QVERIFY(!t.w().tabPages->isHidden());
        const bool reloaded = t.editor().calls.contains("setImagePath(" + t.path + ")");
        QCOMPARE(reloaded, !pageNumber.isEmpty());
        if (reloaded)
            QCOMPARE(t.panel("PageNumber"), pageNumber);
        // The pane reloaded itself after its change: the file is read once more only where a
        // range change needs new thumbnails.
        QCOMPARE(t.thumbs().calls.count("reloadThumbnails"), selectedAfter != tab ? 1 : 0);
        QCOMPARE(t.thumbs().calls.contains("redraw"), ok);
    }
};

QTEST_MAIN(TestThumbnailEvents)
#include "tst_thumbnailevents.moc"
