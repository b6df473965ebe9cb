// The page view as the viewer drives it, on generated documents.
#include <QScrollBar>
#include <QtTest>

#include "imaging/document.h"
#include "imaging/scaling.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "support/fixtures.h"
#include "support/rows.h"
#include "support/scriptedprompts.h"
#include "widgets/pageview/pageview.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;
using test::PageKind;
using test::rawPages;
using test::TiffPage;

Q_DECLARE_METATYPE(ktdv::test::PageKind)

namespace {

QImage rgb(const QImage& img) {
    return img.convertToFormat(QImage::Format_RGB32);
}

// Mean absolute grey difference between a screen shot and a page drawn at origin.
double meanDifference(const QImage& shot, const QImage& page, QPoint origin) {
    const QImage a = shot.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = page.convertToFormat(QImage::Format_Grayscale8);
    const QRect both = a.rect().intersected(b.rect().translated(origin));
    qint64 sum = 0;
    for (int y = both.top(); y <= both.bottom(); ++y)
        for (int x = both.left(); x <= both.right(); ++x)
            sum += qAbs(a.constScanLine(y)[x] - b.constScanLine(y - origin.y())[x - origin.x()]);
    return both.isEmpty() ? 1e9 : double(sum) / (both.width() * both.height());
}

// Applies R (right), L (left) and F (flip) to the view.
void turn(PageDocument& doc, const QString& ops) {
    for (QChar op : ops)
        op == 'R' ? doc.rotateRight() : op == 'L' ? doc.rotateLeft() : doc.flip();
}

}  // namespace

class TestPageView : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PageView> m_view;
    int m_fileNo = 0;

    PageView& view() { return *m_view; }
    PageDocument& doc() { return m_view->document(); }
    PageDisplay& display() { return m_view->view(); }
    PagePointer& pointer() { return m_view->pointer(); }
    // A fresh name each time, so the process-wide page cache never serves another test's page.
    QString file(const QString& ext) {
        return m_dir.filePath(QStringLiteral("doc%1.%2").arg(++m_fileNo).arg(ext));
    }
    QString tiff(int pages, const TiffPage& layout) {
        return test::writeTiff(file(QStringLiteral("tif")), pages, layout);
    }
    static TiffPage page(QSize size = QSize(400, 300), PageKind kind = PageKind::Bilevel,
                         QSizeF dpi = QSizeF(150, 150)) {
        TiffPage p;
        p.size = size;
        p.kind = kind;
        p.compression = kind == PageKind::Bilevel ? test::G4 : test::Lzw;
        p.dpi = dpi;
        return p;
    }
    static QPointF tw(QPointF px) {
        return {px.x() * twips::perPixelX(), px.y() * twips::perPixelY()};
    }

private Q_SLOTS:
    void init() {
        m_view = std::make_unique<PageView>(std::make_shared<test::ScriptedPromptService>(),
                                            createMemorySettingsStore());
        m_view->resize(800, 600);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    }
    void cleanup() { m_view.reset(); }

    void loadShowsPage_data() {
        // tolerance: mean grey difference at 100 %; < 0 = skip
        columns<QString, PageKind, int, QSize, QSizeF, double>("format", "kind", "compression",
                                                               "size", "dpi", "tolerance");
        auto row = [](const char* name, const char* format, PageKind kind, int compression,
                      QSize size, QSizeF dpi, double tolerance) {
            addRow(name, QString(format), kind, compression, size, dpi, tolerance);
        };
        const QSizeF square(96, 96);
        row("G4", "tif", PageKind::Bilevel, test::G4, QSize(1240, 1754), QSizeF(300, 300), 0);
        row("LZW grey", "tif", PageKind::Gray8, test::Lzw, QSize(900, 700), square, 0);
        row("JPEG in TIFF", "tif", PageKind::Rgb8, test::Jpeg, QSize(640, 480), square, 4);
        row("fax 204 x 98", "fax", PageKind::Bilevel, test::G3, QSize(1728, 1100), QSizeF(204, 98),
            -1);
        row("JPEG file", "jpg", PageKind::Rgb8, 0, QSize(640, 480), square, 4);
    }
    void loadShowsPage() {
        auto [format, kind, compression, size, dpi, tolerance] =
            fetch<QString, PageKind, int, QSize, QSizeF, double>("format", "kind", "compression",
                                                                 "size", "dpi", "tolerance");
        TiffPage layout = page(size, kind, dpi);
        layout.compression = compression;
        const QImage expected = test::renderPage(layout, 1);
        const QString path = file(format);
        if (compression)
            QVERIFY(!test::writeTiff(path, 1, layout).isEmpty());
        else
            QVERIFY(!test::writeImage(path, expected, qPrintable(format)).isEmpty());

        doc().setImagePath(path);
        QCOMPARE(doc().imagePath(), path);
        QCOMPARE(doc().pageCount(), 1);
        QCOMPARE(doc().shownPage().size(), size);
        display().zoomTo(QStringLiteral("IN"), 100);  // one page pixel on one screen pixel
        if (tolerance >= 0) {
            // The suite runs this at screen ratios 1, 1.5 and 2.
            const qreal ratio = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
            const QImage shot = view().viewport()->grab().toImage();
            const QPoint at = (display().pageOrigin() * ratio).toPoint();
            const double diff = meanDifference(shot, expected, at);
            QVERIFY2(diff <= tolerance, qPrintable(QString::number(diff)));
            // A click reports the twips of the page pixel shown under it.
            const QPoint click(qCeil((at.x() + 10) / ratio), qCeil((at.y() + 10) / ratio));
            QPointF reported;
            const auto down = [&](int&, int&, float& x, float& y) { reported = {x, y}; };
            pointer().setMouseHandlers(down, {}, {});
            QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, click);
            QCOMPARE(reported, tw(click));
            const QPointF hit = display().widgetToPage(
                QPointF(twips::toPixelX(reported.x()), twips::toPixelY(reported.y())));
            QCOMPARE(QPoint(qFloor(hit.x()), qFloor(hit.y())) + at,
                     QPoint(qFloor(click.x() * ratio), qFloor(click.y() * ratio)));
        }
        display().fitWidth();  // the page fills the width (its shape: see shownAtZoomAndTurn)
        QCoreApplication::processEvents();
        QVERIFY(qAbs(display().displaySize().width() - view().viewport()->width()) <= 1);
    }

    void failedLoadLeavesNoDocument_data() {
        columns<QByteArray, bool>("content", "goodFirst");  // "-" = no file at all
        addRow("missing file after a good one", QByteArray("-"), true);
        addRow("not an image", QByteArray(5000, 'x'), false);
        addRow("TIFF header only", QByteArray("II*\0\x08\0\0\0", 8), false);
    }
    void failedLoadLeavesNoDocument() {
        auto [content, goodFirst] = fetch<QByteArray, bool>("content", "goodFirst");
        if (goodFirst)
            doc().setImagePath(tiff(2, page()));
        const QString path = file(QStringLiteral("tif"));
        if (content != "-")
            QVERIFY(!test::writeBytes(path, content).isEmpty());
        doc().setImagePath(path);
        QCOMPARE(doc().imagePath(), QString());
        QCOMPARE(doc().pageCount(), 0);
        display().setZoomFactor(QStringLiteral("IN"));
        QCOMPARE(display().zoomFactor(), QStringLiteral("0"));
    }

    // What the user sees after zooming, turning and flipping: the page as QImage turns it,
    // scaled for the screen, at any scroll position (bilevel pages are scaled in bands).
    void shownAtZoomAndTurn_data() {
        // start: zoom set directly; steps: I in, O out; ops: R right, L left, F flip
        columns<PageKind, QSizeF, QString, int, QString, int, QPoint>("kind", "dpi", "ops", "start",
                                                                      "steps", "percent", "scroll");
        const QSizeF dpi(150, 150);
        addRow("right, in to 50, scrolled", PageKind::Bilevel, dpi, QString("R"), 37, QString("I"),
               50, QPoint(301, 563));
        addRow("left and flipped, out to 33, at the end", PageKind::Bilevel, dpi, QString("LF"), 37,
               QString("O"), 33, QPoint(0, 100000));
        addRow("fax turned keeps its shape", PageKind::Bilevel, QSizeF(204, 98), QString("R"), 50,
               QString(), 50, QPoint());
        addRow("grey flipped", PageKind::Gray8, dpi, QString("F"), 100, QString(), 100, QPoint());
        addRow("zoom in stops at 800", PageKind::Gray8, dpi, QString(), 600, QString("III"), 800,
               QPoint());
        addRow("zoom out stops at 10", PageKind::Bilevel, dpi, QString(), 13, QString("OOO"), 10,
               QPoint());
    }
    void shownAtZoomAndTurn() {
        auto [kind, dpi, ops, start, steps, percent, scroll] =
            fetch<PageKind, QSizeF, QString, int, QString, int, QPoint>(
                "kind", "dpi", "ops", "start", "steps", "percent", "scroll");
        const TiffPage layout = page(QSize(2000, 2600), kind, dpi);
        doc().setImagePath(tiff(1, layout));
        QImage expected = rgb(test::renderPage(layout, 1));
        for (QChar op : ops) {
            expected = op == QLatin1Char('F')
                           ? expected.mirrored(false, true)
                           : expected.transformed(QTransform().rotate(op == 'R' ? 90 : -90));
        }
        turn(doc(), ops);
        display().zoomTo(QStringLiteral("IN"), start);
        for (QChar c : steps)
            display().setZoomFactor(c == QLatin1Char('I') ? "IN" : "OUT");
        QCOMPARE(display().zoomFactor(), QString::number(percent));
        QCOMPARE(rgb(doc().shownPage()), expected);
        // On screen the turned page keeps its physical shape.
        const QSize shown = display().deviceSize();
        const bool quarter = (ops.count(QLatin1Char('R')) + ops.count(QLatin1Char('L'))) % 2;
        const double aspect = quarter ? 2000 / dpi.width() / (2600 / dpi.height())
                                      : 2600 / dpi.height() / (2000 / dpi.width());
        QVERIFY(qAbs(double(shown.height()) / shown.width() - aspect) < 0.01 * aspect);
        if (percent > 125 || (kind != PageKind::Bilevel && percent != 100))
            return;  // grey pages scale fast by default: only their 100 % is exact
        QCoreApplication::processEvents();
        (void)view().viewport()->grab();  // scales what the first screen shows
        view().horizontalScrollBar()->setValue(scroll.x());
        view().verticalScrollBar()->setValue(scroll.y());
        // The shown page equals the reference above; bilevel pages average to grey (as a box
        // filter does), and the one-pixel frame round the page stays visible.
        const QImage whole = kind == PageKind::Bilevel
                                 ? imaging::scaleForDisplay(doc().shownPage(), shown)
                                 : expected;
        if (kind == PageKind::Bilevel) {
            const QImage box = doc().shownPage().convertToFormat(QImage::Format_Grayscale8);
            const double off = meanDifference(
                whole, box.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), {});
            QVERIFY2(off < 3, qPrintable(QString::number(off)));
            int frame = 255;  // the frame lies two pixels in: within the first three columns
            for (int x = 0; x < 3; ++x)
                frame = qMin(frame, qGray(whole.pixel(x, shown.height() / 2)));
            QVERIFY2(frame < 250, qPrintable(QString::number(frame)));
        }
        const QImage shot = view().viewport()->grab().toImage();
        const QPoint origin = display().pageOrigin().toPoint();
        QCOMPARE(meanDifference(shot, whole, origin), 0.0);
    }

    void savePageChanges_data() {
        // kind: of document
        columns<QString, QString, bool>("ops", "kind", "saved");
        addRow("turned right", QString("R"), QString("tif"), true);
        addRow("turned left, flipped", QString("LF"), QString("tif"), true);
        addRow("read-only file", QString("R"), QString("readonly"), false);
        addRow("not a TIFF", QString("R"), QString("jpg"), false);
    }
    void savePageChanges() {
        auto [ops, kind, saved] = fetch<QString, QString, bool>("ops", "kind", "saved");
        const bool jpeg = kind == QLatin1String("jpg");
        const QString path = jpeg ? test::writeImage(file(kind), test::renderPage(page(), 1), "jpg")
                                  : tiff(3, page());
        if (kind == QLatin1String("readonly"))
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        const QByteArray before = test::readAll(path);
        const QList<QByteArray> rawBefore = jpeg ? QList<QByteArray>() : rawPages(path);
        const int index = jpeg ? 0 : 1;
        doc().setImagePath(path);
        doc().setPageIndex(index);
        turn(doc(), ops);
        const QImage shown = doc().shownPage();
        QCOMPARE(doc().savePageChanges(index, doc().pageCount()), saved);
        if (!saved) {
            QCOMPARE(test::readAll(path), before);
            return;
        }
        // The other pages are untouched; the page holds what was shown.
        const QList<QByteArray> rawAfter = rawPages(path);
        QCOMPARE(rawAfter.size(), 3);
        QCOMPARE(rawAfter[0], rawBefore[0]);
        QCOMPARE(rawAfter[2], rawBefore[2]);
        QCOMPARE(rgb(imaging::Document::open(path)->decodePage(1).image), rgb(shown));
        // The cache forgot the old page: loading again shows the saved one.
        doc().clearImage();
        doc().setImagePath(path);
        QCOMPARE(rgb(doc().shownPage()), rgb(shown));
    }

    void rubberBandClipping_data() {
        // A 400 x 300 page at 100 % in an 800 x 600 view lies at (200, 150)..(600, 450).
        // end: widget pixels
        columns<QPoint, bool, QPoint>("end", "clipped", "clippedTo");
        addRow("inside", QPoint(300, 250), false, QPoint());
        addRow("left of the page", QPoint(100, 250), true, QPoint(200, 250));
        addRow("beyond bottom right", QPoint(700, 500), true, QPoint(600, 450));
    }
    void rubberBandClipping() {
        auto [end, clipped, clippedTo] = fetch<QPoint, bool, QPoint>("end", "clipped", "clippedTo");
        doc().setImagePath(tiff(1, page()));
        display().zoomTo(QStringLiteral("IN"), 100);
        QCOMPARE(display().pageOrigin(), QPointF(200, 150));
        const QPointF anchor = tw(QPointF(250, 200)), to = tw(end);
        pointer().startRubberBand(anchor.x(), anchor.y());
        pointer().drawRubberBand(to.x(), to.y(), 2, 10);
        const QRect frame(QPoint(qMin(250, end.x()), qMin(200, end.y())),
                          QPoint(qMax(250, end.x()), qMax(200, end.y())));  // corners included
        QCOMPARE(pointer().rubberBandRect(), frame);
        pointer().endRubberBand(to.x(), to.y());
        QCOMPARE(pointer().pointerClipped(), clipped);
        if (clipped) {
            QCOMPARE(pointer().clippedX(), qRound(tw(clippedTo).x()));
            QCOMPARE(pointer().clippedY(), qRound(tw(clippedTo).y()));
        }
    }
};

QTEST_MAIN(TestPageView)
#include "tst_pageview.moc"
