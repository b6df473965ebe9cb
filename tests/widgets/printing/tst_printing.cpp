// Printing against a real print server: a private cupsd whose queue writes each job as a
// PDF, read back with poppler's tools. What is checked is what the paper would show: the
// number and size of pages, the size each document page is printed at, 1-bit pages kept
// 1-bit, annotations only when asked.
#include <QDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "platform/printerqueue.h"
#include "platform/settingsstore.h"
#include "platform/viewererror.h"
#include "support/fixtures.h"
#include "support/rows.h"
#include "support/scriptedprompts.h"
#include "widgets/pageview/pageview.h"
#include "widgets/printing/cupsserver.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// Answers the print dialog as a person would: the paper and the pages to print.
class PrintPrompts final : public PromptService {
public:
    bool accept = true;
    QPageSize paper{QPageSize::A4};
    int fromPage = 0, toPage = 0;  // 0: every page
    int printDialogs = 0;
    QStringList messages;

    bool printDialog(QDialog*, QPrinter& printer) override {
        ++printDialogs;
        if (!accept)
            return false;
        printer.setPageSize(paper);
        printer.setPageOrientation(QPageLayout::Portrait);
        if (fromPage > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(fromPage, toPage);
        }
        return true;
    }
    void message(QWidget*, const QString& text) override { messages << text; }
    bool question(QWidget*, const QString&, const QString&, bool) override { return false; }
    FileDialogResult fileDialog(QWidget*, const FileDialogRequest&) override { return {}; }
    void popupMenu(QMenu*, const QPoint&) override {}
    int execDialog(QDialog*) override { return 0; }
};

// One image of a printed PDF as pdfimages lists it.
struct PrintedImage {
    int bitsPerComponent = 0;
    int ppiX = 0, ppiY = 0;
};

QList<PrintedImage> printedImages(const QString& pdf) {
    QList<PrintedImage> images;
    const QStringList lines = QString::fromLocal8Bit(runProgram(QStringLiteral("pdfimages"),
                                                                {QStringLiteral("-list"), pdf}))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
    for (const QString& line : lines.mid(2)) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() >= 14 && f.at(2) != QLatin1String("smask"))
            images.append({f.at(7).toInt(), f.at(12).toInt(), f.at(13).toInt()});
    }
    return images;
}

// Page sizes in points, one per page.
QList<QSizeF> printedPageSizes(const QString& pdf) {
    QList<QSizeF> sizes;
    const QString info = QString::fromLocal8Bit(
        runProgram(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                               QStringLiteral("-l"), QStringLiteral("999"), pdf}));
    static const QRegularExpression re(
        QStringLiteral("Page +\\d+ size: +([\\d.]+) x ([\\d.]+) pts"));
    for (auto it = re.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        sizes.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    return sizes;
}

// Pixels of the first printed page that are clearly red, rendered at 30 dpi.
int redPixels(const QString& pdf, const QString& scratch) {
    const QString base = scratch + QStringLiteral("/render");
    runProgram(QStringLiteral("pdftoppm"),
               {QStringLiteral("-r"), QStringLiteral("30"), QStringLiteral("-f"),
                QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, base});
    const QImage page(base + QStringLiteral(".ppm"));
    int count = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            count += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    return count;
}

TiffPage layout(QSize size, QSizeF dpi, PageKind kind = PageKind::Bilevel) {
    TiffPage p;
    p.size = size;
    p.dpi = dpi;
    p.kind = kind;
    p.compression = kind == PageKind::Bilevel ? G4 : Lzw;
    return p;
}

}  // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QString why;
        if (!m_server.start(&why))
            QSKIP(qPrintable(QStringLiteral("no private print server: ") + why));
        for (const char* tool : {"pdfinfo", "pdfimages", "pdftoppm"})
            QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
    }

    void cleanupTestCase() { m_server.stop(); }

    void printerStatus_data() {
        // change: a CUPS command applied to the queue
        columns<QStringList, QStringList, QString>("change", "undo", "expected");
        addRow("idle queue", QStringList(), QStringList(), QString("Ready"));
        addRow("stopped queue", QStringList{"cupsdisable", "ktdvtest"},
               QStringList{"cupsenable", "ktdvtest"}, QString("Busy"));
    }

    void printerStatus() {
        auto [change, undo, expected] =
            fetch<QStringList, QStringList, QString>("change", "undo", "expected");
        if (!change.isEmpty())
            QVERIFY(m_server.run(change.first(), change.mid(1)));
        const QString status = createCupsPrinterStatus()->status();
        if (!undo.isEmpty())
            QVERIFY(m_server.run(undo.first(), undo.mid(1)));
        QCOMPARE(status, expected);
        QCOMPARE(queryDefaultCupsPrinter().name, m_server.queue());
    }

    void printedPages_data() {
        // fromPage: 0: every page; bits: of each printed image; ppi: resolution each page is
        // printed at
        columns<QList<TiffPage>, int, int, int, QSizeF>("pages", "fromPage", "toPage", "bits",
                                                        "ppi");
        addRow("fax pages keep 204 x 98", QList<TiffPage>(2, layout({816, 392}, {204, 98})), 0, 0,
               1, QSizeF(204, 98));
        addRow("grey page", QList<TiffPage>{layout({300, 300}, {100, 100}, PageKind::Gray8)}, 0, 0,
               8, QSizeF(100, 100));
        // Landscape on portrait A4 (8.27 x 11.69 inches) is turned: 11 x 8 inches then fits as it
        // is, 20 x 10 inches is fitted to the paper's height.
        addRow("landscape page is turned", QList<TiffPage>{layout({1650, 1200}, {150, 150})}, 0, 0,
               1, QSizeF(150, 150));
        addRow("larger than the paper is fitted", QList<TiffPage>{layout({3000, 1500}, {150, 150})},
               0, 0, 1, QSizeF(3000 / (297 / 25.4), 3000 / (297 / 25.4)));
        addRow("pages 2 to 3 of 3", QList<TiffPage>(3, layout({600, 900}, {150, 150})), 2, 3, 1,
               QSizeF(150, 150));
    }

    void printedPages() {
        auto [pages, fromPage, toPage, bits, ppi] = fetch<QList<TiffPage>, int, int, int, QSizeF>(
            "pages", "fromPage", "toPage", "bits", "ppi");
        const QString path =
            writeTiff(m_dir.filePath(QTest::currentDataTag() + QString(".tif")), pages);
        QVERIFY(!path.isEmpty());
        PrintPrompts prompts;
        prompts.fromPage = fromPage;
        prompts.toPage = toPage;
        QVERIFY(print(path, prompts, false));

        const int expected = fromPage > 0 ? toPage - fromPage + 1 : int(pages.size());
        const QList<QSizeF> sizes = printedPageSizes(m_server.outputFile());
        QCOMPARE(sizes.size(), expected);
        for (const QSizeF& s : sizes) {  // A4 in points
            QVERIFY2(qAbs(s.width() - 595.3) < 1 && qAbs(s.height() - 841.9) < 1,
                     qPrintable(QString("%1 x %2").arg(s.width()).arg(s.height())));
        }
        const QList<PrintedImage> images = printedImages(m_server.outputFile());
        QCOMPARE(images.size(), expected);
        for (const PrintedImage& image : images) {
            QCOMPARE(image.bitsPerComponent, bits);
            QVERIFY2(qAbs(image.ppiX - ppi.width()) <= 1 && qAbs(image.ppiY - ppi.height()) <= 1,
                     qPrintable(QString("printed at %1 x %2 ppi").arg(image.ppiX).arg(image.ppiY)));
        }
        QVERIFY(prompts.messages.isEmpty());
    }

    void annotations_data() {
        columns<bool, bool, bool>("stored", "asked", "printed");
        addRow("stored and asked for", true, true, true);
        addRow("stored, not asked for", true, false, false);
    }

    void annotations() {
        auto [stored, asked, printed] = fetch<bool, bool, bool>("stored", "asked", "printed");
        const QString path = writeTiff(m_dir.filePath(QTest::currentDataTag() + QString(".tif")), 1,
                                       layout({600, 900}, {150, 150}));
        QVERIFY(!path.isEmpty());
        if (stored) {
            imaging::Annotation red = imaging::Annotation::make(imaging::Annotation::FilledRect,
                                                                QRectF(100, 100, 300, 200));
            red.fillColor = 0x0000FF;  // 0x00BBGGRR
            QVERIFY(imaging::AnnotationStore::save(path, 0, {red}).ok);
        }
        PrintPrompts prompts;
        QVERIFY(print(path, prompts, asked));
        const int red = redPixels(m_server.outputFile(), m_dir.path());
        QVERIFY2((red > 100) == printed, qPrintable(QString::number(red) + " red pixels"));
    }

    void nothingPrinted_data() {
        columns<bool, bool, bool>("cancel", "removeFile", "fails");
        addRow("print dialog cancelled", true, false, false);
        addRow("document removed after it was opened", false, true, true);
    }

    void nothingPrinted() {
        auto [cancel, removeFile, fails] = fetch<bool, bool, bool>("cancel", "removeFile", "fails");
        const QString path = writeTiff(m_dir.filePath(QTest::currentDataTag() + QString(".tif")), 2,
                                       layout({600, 900}, {150, 150}));
        PrintPrompts prompts;
        prompts.accept = !cancel;
        auto shared = std::shared_ptr<PromptService>(&prompts, [](PromptService*) {});
        PageView view(shared, createMemorySettingsStore());
        view.setImagePath(path);
        QVERIFY(!view.imagePath().isEmpty());
        if (removeFile)
            QVERIFY(QFile::remove(path));
        const int jobs = m_server.jobCount();
        bool failed = false;
        try {
            bool annotate = false;
            view.printDocument(annotate);
        } catch (const ViewerError&) {
            failed = true;
        }
        QCOMPARE(failed, fails);
        QCOMPARE(prompts.printDialogs, 1);
        QTest::qWait(500);
        QCOMPARE(m_server.jobCount(), jobs);
    }

    // The page view's own dialog through the prompt service's default path, accepted as it
    // opens: the default printer prints (a closed dialog: nothingPrinted).
    void systemPrintDialog() {
        const QString path =
            writeTiff(m_dir.filePath("dialog.tif"), 2, layout({600, 900}, {150, 150}));
        auto prompts = std::make_shared<ScriptedPromptService>();
        prompts->dialogScripts << [](QDialog* d) { d->accept(); };
        PageView view(prompts, createMemorySettingsStore());
        view.setImagePath(path);
        QFile::remove(m_server.outputFile());
        const int jobs = m_server.jobCount();
        bool annotate = false;
        view.printDocument(annotate);
        QCOMPARE(prompts->dialogs.size(), 1);
        QVERIFY(m_server.waitForJobs(jobs + 1));
        QCOMPARE(printedPageSizes(m_server.outputFile()).size(), 2);
    }

private:
    // Prints a document through a page view; false when the job did not come out.
    bool print(const QString& path, PrintPrompts& prompts, bool withAnnotations);

    PrivateCupsServer m_server;
    QTemporaryDir m_dir;
};

bool TestPrinting::print(const QString& path, PrintPrompts& prompts, bool withAnnotations) {
    QFile::remove(m_server.outputFile());
    const int jobs = m_server.jobCount();
    auto shared = std::shared_ptr<PromptService>(&prompts, [](PromptService*) {});
    PageView view(shared, createMemorySettingsStore());
    view.resize(400, 300);
    view.setImagePath(path);
    if (view.imagePath().isEmpty())
        return false;
    bool annotate = withAnnotations;
    view.printDocument(annotate);
    return m_server.waitForJobs(jobs + 1);
}

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
