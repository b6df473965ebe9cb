// The selection toolbar on a real page view: when "Zoom" is offered, and what "Copy",
// "Zoom" and "OCR" (with the real engine) do with the dragged zone.
#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

#include "imaging/document.h"
#include "imaging/tiffwriter.h"
#include "platform/twips.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"
#include "viewer/selection/selectionzone.h"
#include "viewer/selection/zonerecognition.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// An engine that keeps what it was given: the call and the zone file's picture.
class ZoneEngine final : public RecognitionEngine {
public:
    int initialiseResult = 0;
    int result = 0;
    QStringList calls;
    QImage seen;
    QFile::Permissions folder;  // of the zone file's folder
    int initialise(QString&) override { return initialiseResult; }
    int convert(const QString& source, const QString& target, int destination,
                int format) override {
        calls << QStringLiteral("%1|%2|%3|%4").arg(source, target).arg(destination).arg(format);
        folder = QFile::permissions(QFileInfo(source).path());
        if (const auto doc = imaging::Document::open(source))
            seen = doc->decodePage(0).image;
        if (onProgress())
            onProgress()(1);
        if (result == 0)
            QGuiApplication::clipboard()->setText(QStringLiteral("zone words"));
        return result;
    }
};

struct ZoneViewer {
    std::shared_ptr<RealFactory> factory = std::make_shared<RealFactory>();
    std::unique_ptr<ViewerControl> viewer;

    // No engine unless the test makes one.
    explicit ZoneViewer(std::function<std::unique_ptr<RecognitionEngine>()> engine = [] {
        return std::unique_ptr<RecognitionEngine>();
    }) {
        moduleState() = ViewerModuleState();
        factory->makeEngine = std::move(engine);
        factory->recordProgress = true;
        viewer = std::make_unique<ViewerControl>(factory);
        viewer->resize(800, 600);
        viewer->show();
    }
    PageView& page() { return *factory->page; }
    QToolBar& toolbar() { return *viewer->widgets().selectionToolbar->widget(); }

    bool open(const QString& path, int percent) {
        viewer->OpenImage(path);
        page().view().zoomTo(QStringLiteral("IN"), percent);
        return !page().document().imagePath().isEmpty() && page().view().zoomPercent() == percent;
    }
    // Widget pixels of the page view for a point in page pixels.
    QPoint onScreen(QPointF pagePoint) {
        const double z = page().view().zoomPercent() / 100.0;
        return (page().view().pageOrigin() + pagePoint * z).toPoint();
    }
    // A drag with the select tool from a to b (page view pixels), released over b.
    void drag(QPoint a, QPoint b) {
        const auto tx = [](int px) { return float(px * twips::perPixelX()); };
        const auto ty = [](int py) { return float(py * twips::perPixelY()); };
        moduleState().startDrag(tx(a.x()), ty(a.y()));
        page().pointer().startRubberBand(tx(a.x()), ty(a.y()));
        if (a != b) {
            moduleState().dragTo(tx(b.x()), ty(b.y()));
            page().pointer().drawRubberBand(tx(b.x()), ty(b.y()), 2, 10);
        }
        float x = tx(b.x()), y = ty(b.y());
        page().pointer().endRubberBand(x, y);
        viewer->selection().PlaceSelectionToolbar(x, y);
    }
    void click(const char* key) {
        Toolbar& t = *viewer->widgets().selectionToolbar;
        t.action(t.position(QString::fromLatin1(key)))->trigger();
    }
    bool bandShown() { return !page().pointer().rubberBandRect().isNull(); }
};

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestSelection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QVERIFY(m_dir.isValid() && m_temp.isValid());
        qputenv("TMPDIR", m_temp.path().toLocal8Bit());
        QCOMPARE(QDir(QDir::tempPath()).canonicalPath(), QDir(m_temp.path()).canonicalPath());
        TiffPage colour;
        colour.size = QSize(400, 300);
        colour.dpi = QSizeF(100, 100);
        colour.kind = PageKind::Rgb8;
        colour.compression = Lzw;
        m_page = writeTiff(m_dir.filePath("colour.tif"), 1, colour);
        TiffPage large;
        large.size = QSize(2000, 1600);
        large.dpi = QSizeF(200, 200);
        m_large = writeTiff(m_dir.filePath("large.tif"), 1, large);
        QVERIFY(!m_page.isEmpty() && !m_large.isEmpty());
    }

    void copy_data() {
        // from: page pixels at 100 %
        columns<QPointF, QPointF, bool>("from", "to", "copied");
        addRow("dragged down and right", QPointF(20, 30), QPointF(220, 130), true);
        addRow("down and left, partly beside the page: clipped", QPointF(300, 5), QPointF(-40, 250),
               true);
    }

    void copy() {
        auto [from, to, copied] = fetch<QPointF, QPointF, bool>("from", "to", "copied");
        ZoneViewer v;
        QVERIFY(v.open(m_page, 100));
        QVERIFY(v.page().view().displaySize().width() <
                v.page().viewport()->width());  // page centred
        QGuiApplication::clipboard()->clear();
        v.drag(v.onScreen(from), v.onScreen(to));
        // "Zoom" is offered only below full size.
        QVERIFY(!v.viewer->widgets().selectionToolbar->enabled(QStringLiteral("Zoom")));
        v.click("Copy");

        const QImage clip = QGuiApplication::clipboard()->image();
        if (copied) {
            const QRect zone = QRectF(from, to).normalized().toRect().intersected(
                v.page().document().shownPage().rect());
            QCOMPARE(rgb(clip), rgb(v.page().document().shownPage().copy(zone)));
        } else {
            QVERIFY(clip.isNull());
        }
        QCOMPARE(v.bandShown(), copied);  // a copied zone keeps its frame on the page
        QVERIFY(v.toolbar().isHidden());
    }

    // A zone dragged with the mouse on the large page shown at 25 % fills the view, centred,
    // up to the highest zoom; the status bar says which.
    void zoom_data() {
        columns<QRect>("zone");  // page pixels
        addRow("tall zone, dragged up and left", QRect(400, 300, 200, 600));
        addRow("zone touching the left edge", QRect(0, 600, 1000, 200));
        addRow("tiny zone: highest zoom", QRect(1500, 1200, 40, 40));
    }
    void zoom() {
        auto [zone] = fetch<QRect>("zone");
        ZoneViewer v;
        QVERIFY(v.open(m_large, 25));
        PageDisplay& view = v.page().view();
        QWidget* page = v.page().viewport();
        QTest::mousePress(page, Qt::LeftButton, {}, v.onScreen(zone.bottomRight() + QPoint(1, 1)));
        QTest::mouseMove(page, v.onScreen(zone.center()));
        QTest::mouseMove(page, v.onScreen(zone.topLeft()));
        QTest::mouseRelease(page, Qt::LeftButton, {}, v.onScreen(zone.topLeft()));
        Toolbar& bar = *v.viewer->widgets().selectionToolbar;
        QTest::mouseClick(bar.buttonWidget(bar.position("Zoom")), Qt::LeftButton);
        const QSizeF room = v.page().viewport()->size(), shown = QSizeF(zone.size()) * view.zoom();
        const double fill = qMax(shown.width() / room.width(), shown.height() / room.height());
        QVERIFY2(qAbs(fill - 1) < 0.02 || view.zoomPercent() == 800,
                 qPrintable(QString::number(fill)));
        const QPointF centre = view.widgetToPage(QRectF(page->geometry()).center());
        QVERIFY((centre - QRectF(zone).center()).manhattanLength() <= 4);
        QCOMPARE(v.viewer->widgets().statusBar->text("ZoomFactor"),
                 QString::number(view.zoomPercent()) + " %");
        QVERIFY(!v.bandShown());
        QVERIFY(v.toolbar().isHidden());
    }

    // The toolbar appears only for a zone: beside it, inside the page view and over no other
    // part of the control, wherever the zone lies; a click shows none and leaves no frame.
    void toolbarBesideTheZone_data() {
        // drag: from and to as fractions of the page view's visible area (not 0, 0: QTest's
        // centre); over: the zone leaves no room beside it
        columns<bool, QLineF, bool>("thumbs", "drag", "over");
        addRow("plain click", true, QLineF(0.1, 0.05, 0.1, 0.05), false);
        addRow("down and right", false, QLineF(0.2, 0.2, 0.5, 0.5), false);
        addRow("down and right beside thumbnails", true, QLineF(0.05, 0.1, 0.4, 0.5), false);
        addRow("to the bottom right corner", false, QLineF(0.6, 0.6, 1, 1), false);
        addRow("to the right edge beside thumbnails", true, QLineF(0.7, 0.3, 1, 0.6), false);
        addRow("up and left to the top", false, QLineF(0.6, 0.4, 0.01, 0.01), false);
        addRow("the whole view", true, QLineF(0.01, 0.01, 1, 1), true);
    }
    void toolbarBesideTheZone() {
        auto [thumbs, drag, over] = fetch<bool, QLineF, bool>("thumbs", "drag", "over");
        ZoneViewer v;
        const ViewerWidgets& w = v.viewer->widgets();
        QVERIFY(v.open(m_large, 100));
        if (thumbs)
            QTest::mouseClick(w.mainToolbar->buttonWidget(w.mainToolbar->position("ShowBoth")),
                              Qt::LeftButton);
        QWidget* page = v.page().viewport();
        const auto at = [page](QPointF f) {
            return QPoint(int(f.x() * (page->width() - 1)), int(f.y() * (page->height() - 1)));
        };
        const QPoint a = at(drag.p1()), b = at(drag.p2());
        QTest::mousePress(page, Qt::LeftButton, {}, a);
        QTest::mouseMove(page, b);
        QTest::mouseRelease(page, Qt::LeftButton, {}, b);
        QCOMPARE(v.toolbar().isVisible(), a != b);
        QCOMPARE(v.bandShown(), a != b);
        const auto inViewer = [&v](QWidget* part) {
            return QRect(part->mapTo(v.viewer.get(), QPoint()), part->size());
        };
        const QRect shown = inViewer(&v.toolbar()), room = inViewer(page);
        const QRect zone = QRect(a, b).normalized().translated(room.topLeft());
        QVERIFY(a == b ||
                (room.contains(shown) && v.toolbar().autoFillBackground() &&
                 shown.intersects(zone) == over && shown.adjusted(-8, -8, 8, 8).intersects(zone)));
        for (QWidget* part :
             QList<QWidget*>{w.mainToolbar->widget(), w.ocrToolbar->widget(), w.statusBar,
                             w.thumbs->widget(), w.tabPages, w.VScroll1})
            QVERIFY2(a == b || part->isHidden() || !shown.intersects(inViewer(part)),
                     qPrintable(part->objectName()));
        QVERIFY(w.thumbs->widget()->isVisible() == thumbs && v.page().view().zoomPercent() == 100);
    }

    void ocr_data() {
        // initialise: engine start-up result; result: of the conversion; bar: values the
        // progress bar was given
        columns<int, int, QString, QString, QList<double>>("initialise", "result", "message",
                                                           "clipboard", "bar");
        const QList<double> ran{0, 50, 0, 100};  // 0 from the progress event: no document run yet
        addRow("engine not started: refused", -4, 0, QString(), QString(), QList<double>());
        addRow("recognition fails", 0, -9,
               QString("ZidaDodi Error (Clipboard): (-9) - Failed to recognise"), QString(), ran);
        addRow("recognised", 0, 0, QString(), QString("zone words"), ran);
    }

    void ocr() {
        auto [initialise, result, message, clipboard, bar] =
            fetch<int, int, QString, QString, QList<double>>("initialise", "result", "message",
                                                             "clipboard", "bar");
        ZoneEngine* engine = nullptr;
        ZoneViewer v([&] {
            auto e = std::make_unique<ZoneEngine>();
            e->initialiseResult = initialise;
            e->result = result;
            engine = e.get();
            return e;
        });
        QVERIFY(v.open(m_page, 100));
        QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
        const QString current = QDir::currentPath();
        const QPointF from(40, 50), to(240, 170);
        v.drag(v.onScreen(from), v.onScreen(to));
        v.click("OCR");

        const bool refused = initialise != 0;
        const bool converted = !refused;
        QCOMPARE(engine->calls.size(), converted ? 1 : 0);
        if (converted) {
            // A file of its own, in a folder below the temporary one that only its owner
            // can enter.
            const QFileInfo zone(engine->calls.first().section('|', 0, 0));
            QCOMPARE(engine->calls.first(), zone.filePath() + "|notused|1|2");
            QCOMPARE(QFileInfo(zone.path()).dir().canonicalPath(), QDir::temp().canonicalPath());
            QCOMPARE(engine->folder & 0x0077, 0);  // no group or other bits
            QCOMPARE(
                rgb(engine->seen),
                rgb(v.page().document().shownPage().copy(QRectF(from, to).normalized().toRect())));
        }
        QCOMPARE(v.factory->prompts->messages,
                 message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(QGuiApplication::clipboard()->text(), refused ? QString("left over") : clipboard);
        QCOMPARE(v.factory->bar->values, bar);
        if (!bar.isEmpty())
            QCOMPARE(v.factory->bar->text(), QString("Converting Zone to Clipboard..."));
        QVERIFY(v.factory->bar->widget()->isHidden());
        QVERIFY(v.toolbar().isHidden());
        QCOMPARE(v.bandShown(), converted);  // the recognised zone keeps its frame
        QVERIFY(QDir::temp().isEmpty());     // nothing left behind
        QCOMPARE(QDir::currentPath(), current);
    }

    void ocrWithTesseract() {
        // Two lines of text; the zone covers the first only.
        const QImage text =
            renderTextPage({"QUICK BROWN FOX", "SECOND LINE HERE"}, QSize(1800, 600), 300, 20);
        const QString path = m_dir.filePath("text.tif");
        QVERIFY(imaging::writeTiffImage(path, text).ok);
        ZoneViewer v([] { return std::make_unique<TesseractEngine>(); });
        QVERIFY(v.viewer->widgets().ocrToolbar->enabled(QStringLiteral("OcrToFile")));
        QVERIFY(v.open(path, 25));
        const QString current = QDir::currentPath();
        v.drag(v.onScreen({60, 100}), v.onScreen({1780, 275}));
        v.click("OCR");
        QCOMPARE(QDir::currentPath(), current);
        QVERIFY(v.factory->bar->widget()->isHidden());
        QVERIFY(v.toolbar().isHidden());
        QVERIFY(v.bandShown());  // the recognised zone keeps its frame
        QVERIFY2(v.factory->prompts->messages.isEmpty(),
                 qPrintable(v.factory->prompts->messages.join('\n')));
        const QString words = QGuiApplication::clipboard()->text().simplified();
        QVERIFY2(words.contains("QUICK BROWN FOX"), qPrintable(words));
        QVERIFY2(!words.contains("SECOND"), qPrintable(words));
        QVERIFY(QDir::temp().isEmpty());
    }

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_temp;  // the process's temporary folder while the tests run
    QString m_page;        // 400 x 300 colour page
    QString m_large;       // 2000 x 1600 page
};

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
