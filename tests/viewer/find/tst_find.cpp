// Finding and selecting text on the real control, page view and thumbnail pane, the text of
// the pages served by a scripted provider (and once by the recogniser): matches drawn on their
// words at every zoom, turn and flip, found from page to page by keys and counted, words selected
// with the mouse and copied, and the document left as it was.
#include <QApplication>
#include <QClipboard>
#include <QtTest>

#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/rows.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// A word on line y / 100.
PageTextWord word(const char* text, int x, int y) {
    return {QString::fromLatin1(text), QRect(x, y, 40 * int(qstrlen(text)), 60), y / 100, 90};
}

// "invoice" twice on the first page, never on the second, once on the third.
const PageText kFirst{{1240, 1754},
                      {word("Invoice", 100, 200), word("number", 420, 200), word("4711", 720, 200),
                       word("Total", 100, 300), word("due:", 340, 300), word("invoice", 540, 300)}};

// Where the image holds pixels that pass the test, as one rectangle.
QRect pixelsWhere(const QImage& image, bool (*wanted)(QRgb)) {
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (wanted(image.pixel(x, y)))
                found |= QRect(x, y, 1, 1);
    return found;
}

struct Finder {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    ScriptedPageText* text = nullptr;
    std::unique_ptr<ViewerControl> v;
    // scripted: the pages' text from the script above, else recognised.
    Finder(const QString& path, bool thumbs, bool scripted = true) {
        moduleState() = ViewerModuleState();
        factory->settings->writeBool("bThumbs", thumbs);
        if (scripted)
            factory->makeTextProvider = [this] {
                auto provider = std::make_unique<ScriptedPageText>();
                text = provider.get();
                text->pages = {{0, kFirst},
                               {1, {{}, {word("Nothing", 100, 200)}}},
                               {2, {{}, {word("INVOICE", 300, 1500)}}}};
                return provider;
            };
        v = std::make_unique<ViewerControl>(factory);
        v->resize(1000, 760);
        v->show();
        v->setUserPermission(24);
        if (QTest::qWaitForWindowActive(v.get()))
            v->OpenImage(path);
    }
    QWidget* viewport() const { return factory->page->viewport(); }
    // The find bar's count and the status bar's page.
    QString state() const {
        return v->findChild<QWidget*>("findStatus")->property("text").toString() + " | " +
               v->widgets().statusBar->text("PageNumber");
    }
    // Where a box of the shown page lies in the viewport, by the page view's own mapping.
    QRect onScreen(const QRect& box) const {
        return factory->page->annotations().pageToWidget().mapRect(box).translated(
            -viewport()->pos());
    }
    QRect currentMatchDrawn() const {
        return pixelsWhere(viewport()->grab().toImage(), [](QRgb c) {
            return qRed(c) >= 140 && qGreen(c) < 200 && qBlue(c) <= 120 &&
                   qRed(c) - qGreen(c) >= 60;
        });
    }
};

double overlap(const QRect& a, const QRect& b) {
    const QRect both = a & b;
    return double(both.width()) * both.height() /
           qMax(double(a.width()) * a.height(), double(b.width()) * b.height());
}

}  // namespace

class TestFind : public QObject {
    Q_OBJECT
private slots:
    void matchDrawnOnItsWord_data() {
        columns<QString, int, QString>("document", "zoom", "turn");
        addRow("TIFF at 25 %", QString("a.tif"), 25, QString());
        addRow("TIFF at 100 %", QString("a.tif"), 100, QString());
        addRow("TIFF at 400 %", QString("a.tif"), 400, QString());
        addRow("turned right at 100 %", QString("a.tif"), 100, QString("Rotate90Right"));
        addRow("turned left at 400 %", QString("a.tif"), 400, QString("Rotate90Left"));
        addRow("flipped at 100 %", QString("a.tif"), 100, QString("Flip"));
        addRow("single JPEG image", QString("a.jpg"), 100, QString());
    }
    void matchDrawnOnItsWord() {
        auto [document, zoom, turn] = fetch<QString, int, QString>("document", "zoom", "turn");
        QTemporaryDir dir;
        const bool image = document.endsWith("jpg");
        const QString path =
            image ? writeImage(dir.filePath(document), renderPage(TiffPage(), 1), "JPEG")
                  : writeTiff(dir.filePath(document), 3);
        Finder f(path, false);
        if (image)
            f.text->pages = {{0, kFirst}};
        f.factory->page->view().setZoomPercent(zoom);
        if (!turn.isEmpty())  // the toolbar's button, named by its key
            QTest::mouseClick(f.v->findChild<QWidget*>(turn), Qt::LeftButton);
        QTest::keyClick(f.v.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "invoice");  // typed where Ctrl+F put it
        QTRY_COMPARE(f.state(),
                     QString(image ? "1 of 2 on 1 page | 1 of 1" : "1 of 3 on 2 pages | 1 of 3"));
        // What of the word is in sight (at 400 % it may reach out of it).
        const QRect word = f.onScreen(kFirst.words[0].box) & f.viewport()->rect();
        QVERIFY(overlap(f.currentMatchDrawn(), word) >= 0.7);
    }

    // Read-only, thumbnails shown: the pages come while the user types; Enter, F3 and
    // Shift+F3 go from match to match across pages and around; the match-case switch and
    // Esc; then words selected by a drag and by a double-click and copied with Ctrl+C, and a
    // drag on blank paper offering the zone's toolbar as before. The file is not written.
    void findAndSelectWithKeysAndMouse() {
        QTemporaryDir dir;
        const QString path = writeTiff(dir.filePath("read-only.tif"), 3);
        QFile::setPermissions(path, QFile::ReadOwner);
        const QStringList before = pageSnapshots(path);
        Finder f(path, true);
        f.text->held = true;
        QTest::mouseClick(f.v->findChild<QWidget*>("FindText"), Qt::LeftButton);
        QCOMPARE(f.text->asked, (QList<int>{0, 1}));  // the shown page and its neighbour
        QTest::keyClicks(QApplication::focusWidget(), "invoice");
        QCOMPARE(f.state(), QString("No matches yet, 3 pages still being read | 1 of 3"));
        f.text->held = false;
        f.text->request({});
        QTRY_COMPARE(f.state(), QString("1 of 3 on 2 pages | 1 of 3"));
        const QImage pane = f.v->widgets().thumbs->widget()->grab().toImage();
        const auto marked = [&](int page) {
            return pixelsWhere(pane.copy(f.v->widgets().thumbs->pageRect(page)),
                               [](QRgb c) { return c == qRgb(255, 190, 0); })
                .isValid();
        };
        QVERIFY(marked(0) && !marked(1) && marked(2));

        for (const auto& [key, modifiers, state] :
             {std::tuple(Qt::Key_Return, Qt::NoModifier, "2 of 3 on 2 pages | 1 of 3"),
              std::tuple(Qt::Key_F3, Qt::NoModifier, "3 of 3 on 2 pages | 3 of 3"),
              std::tuple(Qt::Key_F3, Qt::NoModifier, "1 of 3 on 2 pages | 1 of 3"),
              std::tuple(Qt::Key_F3, Qt::ShiftModifier, "3 of 3 on 2 pages | 3 of 3")}) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            QCOMPARE(f.state(), QString(state));
        }
        QTest::mouseClick(f.v->findChild<QWidget*>("findMatchCase"), Qt::LeftButton);
        QCOMPARE(f.state(), QString("1 of 1 on 1 page | 1 of 3"));  // "invoice" on the first page
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(f.v->findChild<QWidget*>("findBar")->isHidden() && f.currentMatchDrawn().isEmpty());

        const auto at = [&](int i) { return f.onScreen(kFirst.words[i].box).center(); };
        const auto drag = [&](QPoint from, QPoint to) {
            QTest::mousePress(f.viewport(), Qt::LeftButton, {}, from);
            QTest::mouseMove(f.viewport(), to);
            QTest::mouseRelease(f.viewport(), Qt::LeftButton, {}, to);
        };
        drag(at(0), at(4));
        QTest::keyClick(f.viewport(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("Invoice number 4711\nTotal due:"));
        QTest::mouseDClick(f.viewport(), Qt::LeftButton, {}, at(2));
        QTest::keyClick(f.viewport(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("4711"));
        const QPoint blank = f.onScreen(QRect(100, 450, 1, 1)).center();
        drag(blank, blank + QPoint(80, 60));
        QVERIFY(f.v->findChild<QWidget*>("SelectionToolbar")->isVisible());
        QCOMPARE(pageSnapshots(path), before);
    }

    // The real recogniser behind the bar: words drawn on two pages are found by keys, and
    // Enter goes on to the match on the second page.
    void findOnRecognisedPages() {
        QTemporaryDir dir;
        TiffPage first;
        first.size = QSize(1200, 900);
        first.label = QStringLiteral("Invoice 4711");
        TiffPage second = first;
        second.label = QStringLiteral("Paid invoice");
        Finder f(writeTiff(dir.filePath("scan.tif"), {first, second}), false, false);
        QTest::keyClick(f.viewport(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "invoice");
        // Both pages are read at once, so either match may come first and be the current one.
        QTRY_VERIFY_WITH_TIMEOUT(f.state().contains(" of 2 on 2 pages"), 30000);
        const QStringList states{"1 of 2 on 2 pages | 1 of 2", "2 of 2 on 2 pages | 2 of 2"};
        const auto at = states.indexOf(f.state());
        QVERIFY2(at >= 0 && f.currentMatchDrawn().isValid(), qPrintable(f.state()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f.state(), states.at(1 - at));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(f.v->findChild<QWidget*>("findBar")->isHidden());
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
