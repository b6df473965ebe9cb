// The page view as the viewer drives it, on generated documents.
#include <tiffio.h>

#include <QScrollBar>
#include <QtTest>

#include <atomic>

#include "imaging/document.h"
#include "imaging/pagecache.h"
#include "imaging/scaling.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "support/fixtures.h"
#include "support/rows.h"
#include "widgets/pageview/pageview.h"
#include "widgets/pageview/stripscrollbar.h"

using ktdv::test::columns;
using ktdv::test::fetch;
#include "support/scriptedprompts.h"

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
void turn(PageView& view, const QString& ops) {
    for (QChar op : ops) {
        if (op == QLatin1Char('R'))
            view.rotateRight();
        if (op == QLatin1Char('L'))
            view.rotateLeft();
        if (op == QLatin1Char('F'))
            view.flip();
    }
}

}  // namespace

class TestPageView : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<PageView> m_view;
    int m_fileNo = 0;

    PageView& view() { return *m_view; }
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
            QTest::newRow(name) << QString(format) << kind << compression << size << dpi
                                << tolerance;
        };
        const QSizeF square(96, 96);
        row("G4", "tif", PageKind::Bilevel, test::G4, QSize(1240, 1754), QSizeF(150, 150), 0);
        row("LZW grey", "tif", PageKind::Gray8, test::Lzw, QSize(900, 700), square, 0);
        row("JPEG in TIFF", "tif", PageKind::Rgb8, test::Jpeg, QSize(640, 480), square, 4);
        row("fax 204 x 98", "fax", PageKind::Bilevel, test::G3, QSize(1728, 1100), QSizeF(204, 98),
            -1);
        row("JPEG file", "jpg", PageKind::Rgb8, 0, QSize(640, 480), square, 4);
        row("GIF file", "gif", PageKind::Palette8, 0, QSize(300, 200), square, 1);
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

        view().setImagePath(path);
        QCOMPARE(view().imagePath(), path);
        QCOMPARE(view().pageCount(), 1);
        QCOMPARE(view().shownPage().size(), size);
        view().zoomTo(QStringLiteral("IN"), 100);
        QCOMPARE(view().zoomFactor(), QStringLiteral("100"));
        if (tolerance >= 0) {
            const QImage shot = view().viewport()->grab().toImage();
            const double diff = meanDifference(shot, expected, view().pageOrigin());
            QVERIFY2(diff <= tolerance, qPrintable(QString::number(diff)));
        }
        // Fit width: the page fills the width and keeps its true shape.
        view().fitWidth();
        QCoreApplication::processEvents();
        const QSize shown = view().displaySize();
        QVERIFY(qAbs(shown.width() - view().viewport()->width()) <= 1);
        const double aspect = double(size.height()) / size.width() * dpi.width() / dpi.height();
        QVERIFY(qAbs(double(shown.height()) / shown.width() - aspect) < 0.01 * aspect);
    }

    void failedLoadLeavesNoDocument_data() {
        QTest::addColumn<QByteArray>("content");  // "-" = no file at all
        QTest::addColumn<bool>("goodFirst");
        QTest::newRow("missing file after a good one") << QByteArray("-") << true;
        QTest::newRow("not an image") << QByteArray(5000, 'x') << false;
        QTest::newRow("TIFF header only") << QByteArray("II*\0\x08\0\0\0", 8) << false;
    }
    void failedLoadLeavesNoDocument() {
        QFETCH(QByteArray, content);
        QFETCH(bool, goodFirst);
        if (goodFirst)
            view().setImagePath(tiff(2, page()));
        const QString path = file(QStringLiteral("tif"));
        if (content != "-")
            QVERIFY(!test::writeBytes(path, content).isEmpty());
        view().setImagePath(path);
        QCOMPARE(view().imagePath(), QString());
        QCOMPARE(view().pageCount(), 0);
        QCOMPARE(view().zoomFactor(), QStringLiteral("0"));
        view().setZoomFactor(QStringLiteral("IN"));
        QCOMPARE(view().zoomFactor(), QStringLiteral("0"));
    }

    void zoomSteps_data() {
        // steps: I = in, O = out
        columns<int, QString, int>("start", "steps", "expected");
        auto row = [](const char* name, int start, const char* steps, int expected) {
            QTest::newRow(name) << start << QString(steps) << expected;
        };
        row("in from 100", 100, "I", 125);
        row("between rungs, in", 37, "I", 50);
        row("between rungs, out", 37, "O", 33);
        row("top clamps", 600, "III", 800);
        row("bottom clamps", 13, "OOO", 10);
        row("direct zoom clamps", 5000, "", 800);
    }
    void zoomSteps() {
        auto [start, steps, expected] = fetch<int, QString, int>("start", "steps", "expected");
        view().setImagePath(tiff(1, page()));
        view().zoomTo(QStringLiteral("IN"), start);
        for (QChar c : steps)
            view().setZoomFactor(c == QLatin1Char('I') ? "IN" : "OUT");
        QCOMPARE(view().zoomFactor(), QString::number(expected));
        QCOMPARE(view().zoomPercent(), expected);
    }

    void turnAndFlip_data() {
        // ops: R right, L left, F flip
        columns<PageKind, QString, QSizeF>("kind", "ops", "dpi");
        for (PageKind k : {PageKind::Bilevel, PageKind::Gray8})
            for (const char* ops : {"R", "L", "F", "RR", "RF", "LLLL"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(int(k)).arg(ops)))
                    << k << QString(ops) << QSizeF(150, 150);
        QTest::newRow("fax turned keeps its shape") << PageKind::Bilevel << "R" << QSizeF(204, 98);
    }
    void turnAndFlip() {
        auto [kind, ops, dpi] = fetch<PageKind, QString, QSizeF>("kind", "ops", "dpi");
        view().setImagePath(tiff(1, page(QSize(203, 117), kind, dpi)));
        QImage expected = rgb(view().shownPage());
        for (QChar op : ops) {
            if (op == QLatin1Char('F'))
                expected = expected.mirrored(false, true);
            else
                expected =
                    expected.transformed(QTransform().rotate(op == QLatin1Char('R') ? 90 : -90));
        }
        turn(view(), ops);
        QCOMPARE(rgb(view().shownPage()), expected);
        QCOMPARE(view().shownPage().format(),
                 kind == PageKind::Bilevel ? QImage::Format_Mono : QImage::Format_Grayscale8);
        // On screen the turned page keeps its physical shape.
        view().zoomTo(QStringLiteral("IN"), 100);
        const QSize shown = view().displaySize();
        const bool quarter = (ops.count(QLatin1Char('R')) + ops.count(QLatin1Char('L'))) % 2;
        const QSizeF inches = quarter ? QSizeF(117 / dpi.height(), 203 / dpi.width())
                                      : QSizeF(203 / dpi.width(), 117 / dpi.height());
        const double aspect = inches.height() / inches.width();
        QVERIFY(qAbs(double(shown.height()) / shown.width() - aspect) < 0.02 * aspect);
    }

    void savePageChanges_data() {
        // kind: of document
        columns<QString, QString, bool>("ops", "kind", "saved");
        QTest::newRow("turned right") << "R" << QString("tif") << true;
        QTest::newRow("turned left, flipped") << "LF" << QString("tif") << true;
        QTest::newRow("read-only file") << "R" << QString("readonly") << false;
        QTest::newRow("not a TIFF") << "R" << QString("jpg") << false;
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
        view().setImagePath(path);
        view().setPageIndex(index);
        turn(view(), ops);
        const QImage shown = view().shownPage();
        QCOMPARE(view().savePageChanges(index, view().pageCount()), saved);
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
        view().clearImage();
        view().setImagePath(path);
        QCOMPARE(rgb(view().shownPage()), rgb(shown));
    }

    void pageCacheSavesDecodes_data() {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<int>("decodes");
        QTest::newRow("same page again") << "again" << 1;
        QTest::newRow("page changed on disk") << "rewritten" << 2;
        QTest::newRow("next page turned to while queued") << "queued" << 1;
        QTest::newRow("next page turned to while fetched") << "fetching" << 1;
    }
    void pageCacheSavesDecodes() {
        QFETCH(QString, scenario);
        QFETCH(int, decodes);
        const QString path = tiff(3, page());
        view().setImagePath(path);
        QCOMPARE(view().decodeCount(), 1);
        if (scenario == QLatin1String("queued") || scenario == QLatin1String("fetching")) {
            // "queued": the pool's only thread is kept busy, so the page waits in the queue
            // and the view takes it over; otherwise the view may wait for the decode.
            static std::atomic<int> hold{0};  // 1 asked, 2 held, 3 let go
            QThreadPool* pool = QThreadPool::globalInstance();
            const int threads = pool->maxThreadCount();
            if (scenario == QLatin1String("queued")) {
                pool->setMaxThreadCount(1);
                hold = 1;
                pool->start([] {
                    hold = 2;
                    while (hold != 3)
                        QThread::yieldCurrentThread();
                });
                while (hold != 2)
                    QThread::yieldCurrentThread();
            }
            (void)view().viewport()->grab();  // the neighbours are fetched after a paint
            QCoreApplication::processEvents();
            view().setPageIndex(1);
            hold = 3;
            QVERIFY2(pool->waitForDone(5000), "the page fetch never ended");
            pool->setMaxThreadCount(threads);
            QCOMPARE(view().pageIndex(), 1);
        } else {
            if (scenario == QLatin1String("rewritten")) {
                QVERIFY(!test::writeTiff(path, 3, page(QSize(300, 200))).isEmpty());
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadWrite));
                f.setFileTime(QDateTime::currentDateTime().addSecs(5), QFile::FileModificationTime);
            }
            view().clearImage();
            view().setImagePath(path);
        }
        QCOMPARE(view().decodeCount(), decodes);
        QVERIFY(!view().shownPage().isNull());
    }

    void stripScrollBarsLookLikeTheStyles() {
        // Painted in strips, the bars must still be pixel for pixel what the style draws.
        for (const Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
            QScrollBar plain(o);
            StripScrollBar strips(o);
            for (QScrollBar* bar : std::initializer_list<QScrollBar*>{&plain, &strips}) {
                bar->setRange(0, 100);
                bar->setPageStep(30);
                bar->setValue(37);
                bar->resize(o == Qt::Vertical ? QSize(14, 700) : QSize(900, 14));
            }
            QCOMPARE(strips.grab().toImage(), plain.grab().toImage());
        }
    }

    void rubberBandClipping_data() {
        // A 400 x 300 page at 100 % in an 800 x 600 view lies at (200, 150)..(600, 450).
        // end: widget pixels
        columns<QPoint, bool, QPoint>("end", "clipped", "clippedTo");
        QTest::newRow("inside") << QPoint(300, 250) << false << QPoint();
        QTest::newRow("left of the page") << QPoint(100, 250) << true << QPoint(200, 250);
        QTest::newRow("beyond bottom right") << QPoint(700, 500) << true << QPoint(600, 450);
    }
    void rubberBandClipping() {
        auto [end, clipped, clippedTo] = fetch<QPoint, bool, QPoint>("end", "clipped", "clippedTo");
        view().setImagePath(tiff(1, page()));
        view().zoomTo(QStringLiteral("IN"), 100);
        QCOMPARE(view().pageOrigin(), QPoint(200, 150));
        const QPointF anchor = tw(QPointF(250, 200)), to = tw(end);
        view().startRubberBand(anchor.x(), anchor.y());
        view().drawRubberBand(to.x(), to.y(), 2, 10);
        QCOMPARE(view().pointerClipped(), clipped);
        const QRect frame(QPoint(qMin(250, end.x()), qMin(200, end.y())),
                          QPoint(qMax(250, end.x()), qMax(200, end.y())));  // corners included
        QCOMPARE(view().rubberBandRect(), frame);
        view().endRubberBand(to.x(), to.y());
        QCOMPARE(view().pointerClipped(), clipped);
        if (clipped) {
            QCOMPARE(view().clippedX(), qRound(tw(clippedTo).x()));
            QCOMPARE(view().clippedY(), qRound(tw(clippedTo).y()));
        }
    }

    void scrolledViewShowsPage_data() {
        // The view scales a bilevel page where it is seen, in bands: every scroll position
        // shows exactly what scaling the whole page gives.
        QTest::addColumn<int>("percent");
        QTest::addColumn<QPoint>("scroll");
        QTest::newRow("50 %, far") << 50 << QPoint(301, 563);
        QTest::newRow("37 %, to the end") << 37 << QPoint(0, 100000);
    }
    void scrolledViewShowsPage() {
        QFETCH(int, percent);
        QFETCH(QPoint, scroll);
        view().setImagePath(tiff(1, page(QSize(2000, 2600))));
        view().zoomTo(QStringLiteral("IN"), percent);
        QCoreApplication::processEvents();
        (void)view().viewport()->grab();  // scales what the first screen shows
        view().horizontalScrollBar()->setValue(scroll.x());
        view().verticalScrollBar()->setValue(scroll.y());
        const QImage whole = imaging::scaleForDisplay(view().shownPage(), view().displaySize());
        const QImage shot = view().viewport()->grab().toImage();
        const QPoint origin = view().pageOrigin() - view().viewport()->geometry().topLeft();
        QCOMPARE(meanDifference(shot, whole, origin), 0.0);
    }
};

QTEST_MAIN(TestPageView)
#include "tst_pageview.moc"
