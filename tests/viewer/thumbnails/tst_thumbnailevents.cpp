// The viewer's handling of thumbnail clicks, page-range tabs, page deletion and page moves,
// on recording doubles.
#include <QLabel>
#include <QScrollBar>
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
    void thumbClick_data() {
        // range: tab chosen first; page: -1 = nothing loaded
        columns<int, int, int, int>("range", "selected", "button", "page");
        addRow("third thumbnail, first range", 0, 2, 1, 2);
        addRow("third thumbnail, second range", 1, 2, 1, 52);
        addRow("right button does nothing", 0, 2, 2, -1);
    }
    void thumbClick() {
        auto [range, selected, button, page] =
            fetch<int, int, int, int>("range", "selected", "button", "page");
        Thumbs t(120);
        t.w().tabPages->setCurrentIndex(range);
        t.clear();
        t.click(selected, button);
        if (page < 0) {
            QVERIFY(t.editor().calls.isEmpty());
            return;
        }
        QCOMPARE(t.editor().calls.first(), QString("setPageIndex(%1)").arg(page));
        QCOMPARE(t.panel("PageNumber"), QString("%1 of 120").arg(page + 1));
        QCOMPARE(t.events().loadingWindow()->windowTitle(), QStringLiteral("Loading page ..."));
        QCOMPARE(t.events().loadingLabel()->text(), QString("Loading page: %1 ...").arg(page + 1));
        QVERIFY(t.events().loadingWindow()->isHidden());
    }

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

    void pageRanges_data() {
        // first: pages of a document opened before; 0 = none
        columns<int, int, QStringList>("first", "pages", "captions");
        addRow("50 pages", 0, 50, QStringList{"1...50"});
    }
    void pageRanges() {
        auto [first, pages, captions] = fetch<int, int, QStringList>("first", "pages", "captions");
        Thumbs t(first > 0 ? first : 1);
        QTabBar* tabs = t.w().tabPages;
        tabs->setCurrentIndex(tabs->count() - 1);
        t.viewer->OpenImage(t.document("doc2.tif", pages));
        QCOMPARE(t.tabs(), captions);
        QVERIFY(!t.events().tabsRebuilding());
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
