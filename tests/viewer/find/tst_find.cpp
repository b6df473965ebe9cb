// Finding and selecting text on the real control, page view and thumbnail pane, the text of
// the pages served by a scripted provider: matches drawn on their words at every zoom, turn
// and flip, found from page to page by keys and counted, words selected with the mouse and
// copied, and the document left as it was.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QtTest>

#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/rows.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/toolbars/toolbar.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

PageTextWord word(const char* text, int x, int y, int line) {
    return {QString::fromLatin1(text), QRect(x, y, 40 * int(qstrlen(text)), 60), line, 90};
}

// "invoice" twice on the first page, never on the second, once on the third.
const PageText kFirst{
    {1240, 1754},
    {word("Invoice", 100, 200, 0), word("number", 420, 200, 0), word("4711", 720, 200, 0),
     word("Total", 100, 300, 1), word("due:", 340, 300, 1), word("invoice", 540, 300, 1)}};

struct Finder {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    ScriptedPageText* text = nullptr;
    std::unique_ptr<ViewerControl> v;
    Finder(const QString& path, bool thumbs) {
        moduleState() = ViewerModuleState();
        factory->makeEngine = [] { return std::make_unique<RecordingEngine>(); };
        factory->settings->writeBool("bThumbs", thumbs);
        factory->makeTextProvider = [this] {
            auto provider = std::make_unique<ScriptedPageText>();
            text = provider.get();
            text->pages = {{0, kFirst},
                           {1, {{1240, 1754}, {word("Nothing", 100, 200, 0)}}},
                           {2, {{1240, 1754}, {word("INVOICE", 300, 1500, 0)}}}};
            text->pageCount = 3;
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
    QLineEdit* field() const { return v->findChild<QLineEdit*>("findText"); }
    QString status() const { return v->findChild<QLabel*>("findStatus")->text(); }
    QString pageNumber() const { return v->widgets().statusBar->text("PageNumber"); }
    // Where a box of the shown page lies in the viewport, by the page view's own mapping.
    QRect onScreen(const QRect& box) const {
        return factory->page->annotations()
            .pageToWidget()
            .mapRect(QRectF(box))
            .toRect()
            .translated(-viewport()->pos());
    }
    // Where the page shows the current match's colour.
    QRect currentMatchDrawn() const {
        const QImage shot = viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QRect drawn;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y);
                if (qRed(c) >= 140 && qGreen(c) < 200 && qBlue(c) <= 120 &&
                    qRed(c) - qGreen(c) >= 60)
                    drawn |= QRect(x, y, 1, 1);
            }
        return drawn;
    }
    void copy() const { QTest::keyClick(viewport(), Qt::Key_C, Qt::ControlModifier); }
};

double overlap(const QRect& a, const QRect& b) {
    const QRect both = a & b;
    const double larger = qMax(double(a.width()) * a.height(), double(b.width()) * b.height());
    return both.isEmpty() ? 0 : double(both.width()) * both.height() / larger;
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
        f.text->pageCount = image ? 1 : 3;
        f.factory->page->view().setZoomPercent(zoom);
        if (!turn.isEmpty()) {
            const Toolbar& bar = *f.v->widgets().mainToolbar;
            QTest::mouseClick(bar.buttonWidget(bar.position(turn)), Qt::LeftButton);
        }
        QTest::keyClick(f.v.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(f.field()->isVisible() && f.field()->hasFocus());
        QTest::keyClicks(f.field(), "invoice");
        QTRY_COMPARE(f.status(), QString(image ? "1 of 2 on 1 page" : "1 of 3 on 2 pages"));
        // What of the word is in sight (at 400 % it may reach out of it).
        const QRect word = f.onScreen(kFirst.words[0].box) & f.viewport()->rect();
        const QRect drawn = f.currentMatchDrawn();
        QVERIFY2(overlap(drawn, word) >= 0.7, qPrintable(QString("drawn at %1,%2 %3x%4")
                                                             .arg(drawn.x())
                                                             .arg(drawn.y())
                                                             .arg(drawn.width())
                                                             .arg(drawn.height())));
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
        QTest::mouseClick(f.v->widgets().mainToolbar->widget()->widgetForAction(
                              f.v->findChild<QAction*>("FindText")),
                          Qt::LeftButton);
        QCOMPARE(f.text->asked, (QList<int>{0, 1}));  // the shown page and its neighbour
        QTest::keyClicks(f.field(), "invoice");
        QCOMPARE(f.status(), QString("No matches yet, 3 pages still being read"));
        f.text->release();
        QTRY_COMPARE(f.status(), QString("1 of 3 on 2 pages"));
        ThumbnailPane& thumbs = *f.v->widgets().thumbs;
        const QImage pane = thumbs.widget()->grab().toImage();
        const auto marked = [&](int page) {
            const QImage cell = pane.copy(thumbs.pageRect(page));
            for (int y = 0; y < cell.height(); ++y)
                for (int x = 0; x < cell.width(); ++x)
                    if (cell.pixelColor(x, y) == QColor(255, 190, 0))
                        return true;
            return false;
        };
        QVERIFY(marked(0) && !marked(1) && marked(2));

        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char *status, *page;
        } steps[] = {{Qt::Key_Return, {}, "2 of 3 on 2 pages", "1 of 3"},
                     {Qt::Key_F3, {}, "3 of 3 on 2 pages", "3 of 3"},
                     {Qt::Key_F3, {}, "1 of 3 on 2 pages", "1 of 3"},
                     {Qt::Key_F3, Qt::ShiftModifier, "3 of 3 on 2 pages", "3 of 3"}};
        for (const auto& step : steps) {
            QTest::keyClick(f.field(), step.key, step.modifiers);
            QCOMPARE(f.status(), QString(step.status));
            QCOMPARE(f.pageNumber(), QString(step.page));
        }
        QTest::mouseClick(f.v->findChild<QCheckBox*>("findMatchCase"), Qt::LeftButton);
        QCOMPARE(f.status(), QString("1 of 1 on 1 page"));  // "invoice" on the first page
        QCOMPARE(f.pageNumber(), QString("1 of 3"));
        QTest::keyClick(f.field(), Qt::Key_Escape);
        QVERIFY(f.v->findChild<QWidget*>("findBar")->isHidden());
        QVERIFY(f.currentMatchDrawn().isEmpty());

        const auto at = [&](int i) { return f.onScreen(kFirst.words[i].box).center(); };
        QGuiApplication::clipboard()->clear();
        QTest::mousePress(f.viewport(), Qt::LeftButton, {}, at(0));
        QTest::mouseMove(f.viewport(), at(4));
        QTest::mouseRelease(f.viewport(), Qt::LeftButton, {}, at(4));
        f.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("Invoice number 4711\nTotal due:"));
        QTest::mouseDClick(f.viewport(), Qt::LeftButton, {}, at(2));
        f.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("4711"));
        const QPoint blank = f.onScreen(QRect(100, 450, 1, 1)).center();
        QTest::mousePress(f.viewport(), Qt::LeftButton, {}, blank);
        QTest::mouseMove(f.viewport(), blank + QPoint(80, 60));
        QTest::mouseRelease(f.viewport(), Qt::LeftButton, {}, blank + QPoint(80, 60));
        QVERIFY(f.v->widgets().selectionToolbar->widget()->isVisible());
        QCOMPARE(pageSnapshots(path), before);
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
