// Export writers, each read back by a tool that knows the format and not our code.

#include "ocr/writers/exportwriter.h"
#include "ocr/writers/rtfwriter.h"
#include "ocr/writers/textencoding.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"
#include "support/rows.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace ktdv;
using namespace ktdv::ocr;
using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;
using ktdv::test::runTool;

namespace {

// The bytes converted from the given encoding to UTF-8 by iconv.
QString iconvToUtf8(const QString& from, const QByteArray& bytes) {
    const test::ToolRun run = runTool(QStringLiteral("iconv"), {"-f", from, "-t", "UTF-8"}, bytes);
    return run.exitCode == 0 ? QString::fromUtf8(run.out) : QStringLiteral("<iconv failed>");
}

// Two recognised pages over scans of the given kind (bilevel, grey, colour, jpeg). The second
// page is a table row whose cells the recogniser returned as two blocks side by side.
RecognizedDocument twoPages(const QString& kind, const QTemporaryDir& dir) {
    QImage scan(1240, 1754, QImage::Format_RGB32);
    scan.fill(Qt::white);
    {
        QPainter painter(&scan);  // rows of glyph-like marks
        for (int y = 100; y < 1300; y += 60) {
            for (int x = 100; x < 1100; x += 23 + (y / 60 * 7 + x) % 11)
                painter.fillRect(x, y, 8 + x % 9, 30, QColor(200, 30, 30));
        }
    }
    RecognizedDocument doc;
    doc.pages = {test::handMadePage({QStringLiteral("Grüße aus Köln\nzweite Zeile"),
                                     QStringLiteral("Ωmega {brace} back\\slash R&D")},
                                    scan.size()),
                 test::handMadePage({QStringLiteral("Page two")}, scan.size())};
    doc.pages[1].blocks +=
        test::handMadePage({QStringLiteral("— dash")}, scan.size(), {800, 100}).blocks;
    for (RecognizedPage& page : doc.pages) {
        page.image = kind == QLatin1String("grey") ? scan.convertToFormat(QImage::Format_Grayscale8)
                     : kind == QLatin1String("bilevel")
                         ? scan.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)
                         : scan;
        if (kind == QLatin1String("jpeg"))
            page.jpegData = test::readAll(test::writeImage(dir.filePath("p.jpg"), scan, "jpg"));
    }
    return doc;
}

// The document's text as the judge of its format reads it, each page followed by '\f'.
// With `boxes`, PDF words must also lie on the boxes they were recognised in.
QString readBack(const QString& judge, const QString& path, const RecognizedDocument& doc,
                 bool boxes) {
    const QByteArray bytes = test::readAll(path);
    if (judge == QLatin1String("rtf"))  // the text as written, escapes included
        return bytes.startsWith("{\\rtf1") ? QString::fromLatin1(bytes) : QString();
    QString text;
    if (judge == QLatin1String("html")) {
        const test::ToolRun lint = runTool("xmllint", {"--html", "--noout", path});
        if (lint.exitCode != 0 || !lint.err.isEmpty())
            return QString::fromUtf8(lint.err);
        auto xpath = [&](const QString& expr) {
            return QString::fromUtf8(runTool("xmllint", {"--html", "--xpath", expr, path}).out)
                .trimmed();
        };
        if (xpath("string((//*[@class='ocrx_word'])[1]/@title)") !=
            "bbox 100 100 200 140; x_wconf 90")
            return QStringLiteral("<word box wrong>");
        for (int p = 1; p <= doc.pages.size(); ++p)
            text += xpath(QStringLiteral("string(//div[@class='ocr_page'][%1])").arg(p)) + '\f';
        return text;
    }
    if (judge != QLatin1String("pdf"))
        return iconvToUtf8(judge, bytes);
    const test::ToolRun run = runTool("pdftotext", {"-bbox", path, "-"});
    static const QRegularExpression wordOrPage(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>|</page>"));
    QVector<QRect> wordBoxes;
    for (const RecognizedPage& page : doc.pages) {
        for (const RecognizedBlock& b : page.blocks) {
            for (const RecognizedParagraph& p : b.paragraphs) {
                for (const RecognizedLine& l : p.lines) {
                    for (const RecognizedWord& w : l.words)
                        wordBoxes += w.box;
                }
            }
        }
    }
    const double k = 72.0 / 300.0;
    for (auto it = wordOrPage.globalMatch(QString::fromUtf8(run.out)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(5).isEmpty()) {
            text += QLatin1Char('\f');
            continue;
        }
        const QRect box = wordBoxes.value(text.count(QLatin1Char(' ')));
        const double want[] = {box.left() * k, box.top() * k, (box.right() + 1) * k,
                               (box.bottom() + 1) * k};
        for (int c = 0; boxes && c < 4; ++c) {
            if (qAbs(m.captured(c + 1).toDouble() - want[c]) > 3.0)  // points
                return QStringLiteral("<%1 off its box>").arg(m.captured(5));
        }
        text += m.captured(5).replace(QStringLiteral("&amp;"), QStringLiteral("&")) + ' ';
    }
    return run.exitCode == 0 && run.err.isEmpty() ? text : QString::fromUtf8(run.err);
}

}  // namespace

class TestOcrWriters : public QObject {
    Q_OBJECT
private slots:
    void codePageTablesMatchIconv_data() {
        columns<int, QString, QByteArray>("encoding", "iconvName", "unassigned");
        addRow("windows-1252", int(TextEncoding::Windows1252), QStringLiteral("WINDOWS-1252"),
               QByteArray("\x81\x8D\x8F\x90\x9D"));
        addRow("dos-437", int(TextEncoding::Cp437), QStringLiteral("CP437"), QByteArray());
    }
    void codePageTablesMatchIconv() {
        auto [encoding, iconvName, unassigned] =
            fetch<int, QString, QByteArray>("encoding", "iconvName", "unassigned");
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b) {
            if (!unassigned.contains(static_cast<char>(b)))
                high.append(static_cast<char>(b));
        }
        const QString decoded = iconvToUtf8(iconvName, high);
        QCOMPARE(decoded.size(), high.size());
        QCOMPARE(encodeText(decoded, TextEncoding(encoding)), high);
    }

    // Every format writes the document and its judge reads back the words in order, page by
    // page; a PDF with a scan must give the scan back: the same pixels, or the same JPEG.
    void everyFormatReadBack_data() {
        // words: what the judge must find, in this order, separated by blanks
        columns<int, QString, QString, QString>("format", "judge", "pageKind", "words");
        const QString words = QStringLiteral(
            "Grüße aus Köln zweite Zeile Ωmega {brace} back\\slash R&D \f Page two — dash");
        const QString noOmega = QString(words).replace(QStringLiteral("Ω"), QStringLiteral("?"));
        const QString noDash = QString(words).replace(QStringLiteral("—"), QStringLiteral("?"));
        auto row = [](const char* name, int format, const char* judge, const char* kind,
                      const QString& w) { addRow(name, format, QString(judge), QString(kind), w); };
        row("rtf", FormatRtf, "rtf", "bilevel",
            QStringLiteral("Gr\\u252?\\u223?e aus K\\u246?ln zweite Zeile \\u937?mega \\{brace\\} "
                           "back\\\\slash R&D \\page Page two \\u8212? dash"));
        row("ansi text", FormatAnsiText, "WINDOWS-1252", "bilevel", noOmega);
        row("dos text", FormatDosText, "CP437", "bilevel", noDash);
        row("unicode text", FormatUnicodeText, "UTF-16", "bilevel", words);
        row("tabular", FormatTabular, "WINDOWS-1252", "bilevel",
            QString(noOmega).replace(QStringLiteral("two —"), QStringLiteral("two\t—")));
        row("dos formatted", FormatDosFormatted, "CP437", "bilevel", noDash);
        row("unicode formatted", FormatUnicodeFormatted, "UTF-16", "bilevel", words);
        row("html", FormatHtml, "html", "bilevel", words);
        row("pdf text only", FormatPdfTextOnly, "pdf", "bilevel", noOmega);
        row("pdf text on image", FormatPdfTextOnImage, "pdf", "bilevel", noOmega);
        row("pdf image on text", FormatPdfImageOnText, "pdf", "bilevel", words);
        row("pdf grey scan", FormatPdfImageOnText, "pdf", "grey", words);
        row("pdf colour scan", FormatPdfImageOnText, "pdf", "colour", words);
        row("pdf jpeg scan", FormatPdfImageOnText, "pdf", "jpeg", words);
    }
    void everyFormatReadBack() {
        auto [format, judge, pageKind, words] =
            fetch<int, QString, QString, QString>("format", "judge", "pageKind", "words");
        QTemporaryDir dir;
        const RecognizedDocument doc = twoPages(pageKind, dir);
        const QString path = dir.filePath(QStringLiteral("out"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            const std::unique_ptr<ExportWriter> writer = createWriter(format);
            QVERIFY(writer && writer->writeDocument(&f, doc));
        }
        const QString text = readBack(judge, path, doc, format == FormatPdfImageOnText);
        qsizetype at = 0;
        for (const QString& word : words.split(QLatin1Char(' '))) {
            const qsizetype found = text.indexOf(word, at);
            QVERIFY2(found >= 0, qPrintable(QStringLiteral("'%1' missing after %2 in: %3")
                                                .arg(word, QString::number(at), text)));
            at = found + word.size();
        }
        if (format == FormatRtf)  // characters past 0x7FFF are written as negative numbers
            QCOMPARE(RtfWriter::escape(QStringLiteral("\uFB01")), QByteArray("\\u-1279?"));
        if (judge != QLatin1String("pdf") || format == FormatPdfTextOnly)
            return;
        const bool jpeg = pageKind == QLatin1String("jpeg");
        QCOMPARE(runTool("pdfimages", {jpeg ? "-j" : "-png", path, dir.filePath("x")}).exitCode, 0);
        if (jpeg) {
            QCOMPARE(test::readAll(dir.filePath(QStringLiteral("x-000.jpg"))),
                     doc.pages[0].jpegData);
        } else {
            QCOMPARE(QImage(dir.filePath(QStringLiteral("x-000.png")))
                         .convertToFormat(QImage::Format_RGB32),
                     doc.pages[0].image.convertToFormat(QImage::Format_RGB32));
        }
    }
};

QTEST_GUILESS_MAIN(TestOcrWriters)
#include "tst_ocrwriters.moc"
