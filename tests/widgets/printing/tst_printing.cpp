// Printing against a real print server: a private cupsd whose queue writes each job as a
// PDF, read back with poppler's tools. What is checked is what the paper would show: the
// number and size of pages and the size a fax page is printed at, kept 1-bit.
#include <QDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/printerqueue.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "support/fixtures.h"
#include "support/rows.h"
#include "widgets/pageview/pageview.h"
#include "widgets/printing/cupsserver.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// Answers the print dialog as a person would: A4 portrait, or cancelled.
class PrintPrompts final : public PromptService {
public:
    bool accept = true;
    int printDialogs = 0;
    QStringList messages;

    bool printDialog(QDialog*, QPrinter& printer) override {
        ++printDialogs;
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        return accept;
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

}  // namespace

class TestPrinting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QString why;
        if (!m_server.start(&why))
            QSKIP(qPrintable(QStringLiteral("no private print server: ") + why));
        for (const char* tool : {"pdfinfo", "pdfimages"})
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

    // A fax page (204 x 98 dpi): a cancelled dialog prints nothing; accepted, one A4 page
    // comes out with the page at its true size, still 1-bit.
    void faxPage() {
        TiffPage fax;
        fax.size = {816, 392};
        fax.dpi = {204, 98};
        fax.kind = PageKind::Bilevel;
        fax.compression = G4;
        const QString path = writeTiff(m_dir.filePath("fax.tif"), 1, fax);
        QVERIFY(!path.isEmpty());
        PrintPrompts prompts;
        auto shared = std::shared_ptr<PromptService>(&prompts, [](PromptService*) {});
        PageView view(shared, createMemorySettingsStore());
        view.resize(400, 300);
        view.document().setImagePath(path);
        QFile::remove(m_server.outputFile());
        const int jobs = m_server.jobCount();
        bool annotate = false;
        prompts.accept = false;
        view.document().printDocument(annotate);
        QTest::qWait(500);
        QCOMPARE(m_server.jobCount(), jobs);

        prompts.accept = true;
        view.document().printDocument(annotate);
        QVERIFY(m_server.waitForJobs(jobs + 1));
        QCOMPARE(prompts.printDialogs, 2);
        const QList<QSizeF> sizes = printedPageSizes(m_server.outputFile());
        QCOMPARE(sizes.size(), 1);  // A4 in points
        QVERIFY(qAbs(sizes[0].width() - 595.3) < 1 && qAbs(sizes[0].height() - 841.9) < 1);
        const QList<PrintedImage> images = printedImages(m_server.outputFile());
        QCOMPARE(images.size(), 1);
        QCOMPARE(images[0].bitsPerComponent, 1);
        QVERIFY2(
            qAbs(images[0].ppiX - 204) <= 1 && qAbs(images[0].ppiY - 98) <= 1,
            qPrintable(QString("printed at %1 x %2 ppi").arg(images[0].ppiX).arg(images[0].ppiY)));
        QVERIFY(prompts.messages.isEmpty());
        // A file changed since it was opened is not printed, and the user is told so.
        QVERIFY(QFile::resize(path, QFileInfo(path).size() + 1));
        view.document().printDocument(annotate);
        QCOMPARE(prompts.messages, QStringList{"The document was not printed: the document "
                                               "changed since it was opened."});
        QCOMPARE(m_server.jobCount(), jobs + 1);
    }

private:
    PrivateCupsServer m_server;
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
