// The viewer's handling of thumbnail clicks, page deletion and page moves.
#include <QLabel>
#include <QTabBar>
#include <QtTest>

#include "support/viewerharness.h"

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
        editor().calls.clear();
        thumbs().calls.clear();
    }
    void click(int selected, int button = 1) {
        thumbs().selected = static_cast<qint16>(selected);
        int index = selected, shift = 0;
        float x = 10, y = 10;
        viewer->ctlKTImgThumbs1_ThumbClick(index, button, shift, x, y);
    }
    // The pane changed the file: the editor now reports this many pages.
    void pagesNow(int count) {
        editor().documents.insert(path, count);
        editor().preload(path, editor().pageIndex());
    }
};

}  // namespace

class TestThumbnailEvents : public QObject {
    Q_OBJECT
private slots:
    void thumbClick_data() {
        // range: 0-based tab to choose first; page: -1 = nothing loaded
        columns<int, int, int, int>("range", "selected", "button", "page");
        addRow("third thumbnail, first range", 0, 2, 1, 2);
        addRow("third thumbnail, second range", 1, 2, 1, 52);
        addRow("right button does nothing", 0, 2, 2, -1);
    }
    void thumbClick() {
        auto [range, selected, button, page] =
            fetch<int, int, int, int>("range", "selected", "button", "page");
        Thumbs t(120);
        t.thumbs().selected = 0;
        t.viewer->tabPages->setCurrentIndex(range);
        t.editor().calls.clear();
        t.click(selected, button);
        if (page < 0) {
            QVERIFY(t.editor().calls.isEmpty());
            return;
        }
        QCOMPARE(t.editor().calls.mid(0, 2), QStringList({QString("setPageIndex(%1)").arg(page),
                                                          QString("setPageIndex(%1)").arg(page)}));
        QCOMPARE(t.panel("PageNumber"), QString("%1 of 120").arg(page + 1));
        QVERIFY(t.viewer->frmLoading);
        QCOMPARE(t.viewer->frmLoading->windowTitle(), QStringLiteral("Loading page ..."));
        QCOMPARE(t.viewer->lblLoading->text(), QString("Loading page: %1 ...").arg(page + 1));
        QVERIFY(t.viewer->frmLoading->isHidden());
    }

    void saveBeforeSwitch_data() {
        // chkSaveTIF: "" = absent
        columns<QString, QString, bool, bool>("chkSaveTIF", "attributes", "rotate", "saved");
        addRow("turned page saved first", "1", "A", true, true);
        addRow("not turned", "1", "A", false, false);
        addRow("saving not asked for", "", "A", true, false);
        addRow("read-only document", "1", "RA", true, false);
    }
    void saveBeforeSwitch() {
        QFETCH(QString, chkSaveTIF);
        QFETCH(QString, attributes);
        QFETCH(bool, rotate);
        QFETCH(bool, saved);
        Thumbs t(3, [&](ViewerHarness& h) {
            if (!chkSaveTIF.isEmpty())
                h.settings().setValue("chkSaveTIF", chkSaveTIF);
        });
        t.editor().attributes.insert(t.path, attributes);
        t.load(t.path, 1);
        if (rotate)
            t.viewer->MainToolbar_ButtonClick("Rotate90Left");
        t.editor().calls.clear();
        t.thumbs().calls.clear();
        t.click(2);
        const QStringList order = only(t.editor().calls, {"savePageChanges", "setPageIndex"});
        // The click, the load, and the load again once the file is open.
        QStringList expected{"setPageIndex(2)", "setPageIndex(2)", "setPageIndex(2)"};
        if (saved)
            expected.prepend("savePageChanges(1,3)");
        QCOMPARE(order, expected);
        // A saved page refreshes the thumbnails before the new page is shown.
        QCOMPARE(t.thumbs().calls.contains("reloadThumbnails"), saved);
        QVERIFY(!t.viewer->bPageModified);
    }

    void pageDeleted_data() {
        // tab: selected before the deletion; pageNumber: "" = the page was not reloaded
        columns<int, int, bool, QStringList, int, QString>("pages", "tab", "ok", "tabs",
                                                           "selectedAfter", "pageNumber");
        addRow("only page of the last range, first range shown", 51, 0, true, QStringList{"1...50"},
               0, "");
        addRow("only page of the last range while it is shown", 51, 1, true, QStringList{"1...50"},
               0, "1 of 50");
        addRow("range keeps pages: first page of the range reloaded", 120, 1, true,
               QStringList{"1...50", "51...100", "101...150"}, 1, "51 of 119");
        addRow("not done", 51, 0, false, QStringList{"1...50", "51...100"}, 0, "");
    }
    void pageDeleted() {
        auto [pages, tab, ok, tabs, selectedAfter, pageNumber] =
            fetch<int, int, bool, QStringList, int, QString>("pages", "tab", "ok", "tabs",
                                                             "selectedAfter", "pageNumber");
        Thumbs t(pages);
        t.thumbs().selected = 0;
        t.viewer->tabPages->setCurrentIndex(tab);
        t.pagesNow(pages - 1);
        t.editor().calls.clear();
        t.thumbs().calls.clear();
        bool done = ok;
        t.viewer->ctlKTImgThumbs1_PageDeleted(done);

        QCOMPARE(t.tabs(), tabs);
        QCOMPARE(t.viewer->tabPages->currentIndex(), selectedAfter);
        QVERIFY(!t.viewer->tabPages->isHidden());
        const bool reloaded = t.editor().calls.contains("setImagePath(" + t.path + ")");
        QCOMPARE(reloaded, !pageNumber.isEmpty());
        if (reloaded)
            QCOMPARE(t.panel("PageNumber"), pageNumber);
        QCOMPARE(t.thumbs().calls.contains("reloadThumbnails"), ok);
    }

    void pageMoved_data() {
        QTest::addColumn<bool>("ok");
        addRow("moved", true);
        addRow("not moved", false);
    }
    void pageMoved() {
        QFETCH(bool, ok);
        Thumbs t(120);
        t.thumbs().selected = 0;
        t.viewer->tabPages->setCurrentIndex(2);
        t.load(t.path, 110);
        t.editor().calls.clear();
        t.thumbs().calls.clear();
        bool done = ok;
        t.viewer->ctlKTImgThumbs1_PageMoved(done);
        if (!ok) {
            QVERIFY(t.editor().calls.isEmpty());
            QVERIFY(t.thumbs().calls.isEmpty());
            return;
        }
        QCOMPARE(t.editor().calls.first(), QStringLiteral("setPageIndex(0)"));
        QCOMPARE(t.panel("PageNumber"), QStringLiteral("101 of 120"));
        QCOMPARE(t.thumbs().calls,
                 QStringList({"reloadThumbnails", "redraw", "setScrollPosition(1)",
                              "setViewHeight(600)", "arrange(true)", "redraw"}));
    }
};

QTEST_MAIN(TestThumbnailEvents)
#include "tst_thumbnailevents.moc"
