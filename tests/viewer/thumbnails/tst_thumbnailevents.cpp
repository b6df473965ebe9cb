// The viewer's handling of thumbnail clicks on recording doubles (page deletion, page moves
// and the range tabs on a real pane: tst_viewerreal).
#include <QLabel>
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
};

QTEST_MAIN(TestThumbnailEvents)
#include "tst_thumbnailevents.moc"
