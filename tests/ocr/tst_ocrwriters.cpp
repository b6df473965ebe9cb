// Export writers, each read back by a tool that knows the format and not our code.

#include "ocr/writers/exportwriter.h"
#include "ocr/writers/rtfwriter.h"
#include "ocr/writers/textencoding.h"
#include "ocrtestutil.h"
#include "support/fixtures.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv;
using namespace ktdv::ocr;
using ktdv::test::handMadePage;
using ktdv::test::runTool;

namespace {

QByteArray writeToBytes(int format, const RecognizedDocument& doc) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const std::unique_ptr<ExportWriter> writer = createWriter(format);
    return writer && writer->writeDocument(&buffer, doc) ? bytes : QByteArray();
}

QString writeToFile(const QTemporaryDir& dir, const QString& name, int format,
                    const RecognizedDocument& doc) {
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    f.write(writeToBytes(format, doc));
    return path;
}

// Text of an RTF body as a strict reader sees it: groups must balance, control words are
// well formed, \uN? gives a character and skips its fallback, \par ends a paragraph and
// \page a page, 8-bit bytes must be escaped. Returns "" on malformed input.
QString readRtf(const QByteArray& rtf, int* pages) {
    static const QRegularExpression token(
        QStringLiteral(R"(\\([a-z]+)(-?\d+)? ?|\\([\\{}])|([{}])|[\r\n]|([^\\]))"));
    const QString s = QString::fromLatin1(rtf);
    QString text;
    int depth = 0, fontTable = -1;
    bool skipFallback = false;
    qsizetype at = 0;
    *pages = 1;
    for (auto it = token.globalMatch(s); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() != at)
            return {};  // a backslash that starts nothing
        at = m.capturedEnd();
        const QString word = m.captured(1), group = m.captured(4), plain = m.captured(5);
        if (word == QLatin1String("u")) {
            const int n = m.captured(2).toInt();
            text += QChar(char16_t(n < 0 ? n + 65536 : n));
            skipFallback = true;
        } else if (word == QLatin1String("par")) {
            text += QLatin1Char('\n');
        } else if (word == QLatin1String("page")) {
            ++*pages;
        } else if (word == QLatin1String("fonttbl")) {
            fontTable = depth;
        } else if (!m.captured(3).isEmpty()) {
            text += m.captured(3);
        } else if (group == QLatin1String("{")) {
            ++depth;
        } else if (group == QLatin1String("}")) {
            if (depth == fontTable)
                fontTable = -1;
            if (--depth < 0)
                return {};
        } else if (!plain.isEmpty() && skipFallback) {
            skipFallback = false;
        } else if (!plain.isEmpty() && fontTable < 0 && depth >= 1) {
            if (plain.at(0).unicode() >= 0x80)
                return {};
            text += plain;
        }
    }
    return depth == 0 && at == s.size() ? text : QString();
}

// The bytes converted from the given encoding to UTF-8 by iconv.
QString iconvToUtf8(const QString& from, const QByteArray& bytes) {
    const test::ToolRun run = runTool(QStringLiteral("iconv"), {"-f", from, "-t", "UTF-8"}, bytes);
    return run.exitCode == 0 ? QString::fromUtf8(run.out) : QStringLiteral("<iconv failed>");
}

RecognizedDocument twoPages() {
    RecognizedDocument doc;
    doc.pages.append(handMadePage({QStringLiteral("Grüße aus Köln\nzweite Zeile"),
                                   QStringLiteral("Ωmega {brace} back\\slash")}));
    doc.pages.append(handMadePage({QStringLiteral("Page two — dash")}));
    return doc;
}

}  // namespace

class TestOcrWriters : public QObject {
    Q_OBJECT
private slots:
    void codePageTablesMatchIconv_data() {
        columns<int, QString, QByteArray>("encoding", "iconvName", "unassigned");
        QTest::newRow("windows-1252") << int(TextEncoding::Windows1252) << "WINDOWS-1252"
                                      << QByteArray("\x81\x8D\x8F\x90\x9D");
        QTest::newRow("dos-437") << int(TextEncoding::Cp437) << "CP437" << QByteArray();
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
        // A character neither set holds.
        QCOMPARE(encodeText(QStringLiteral("a\u4E2Db"), TextEncoding(encoding)), QByteArray("a?b"));
    }

    void plainTextReadBack_data() {
        columns<int, QString, QString>("format", "iconvName", "expected");
        const QString full = QStringLiteral(
            "Grüße aus Köln zweite Zeile\r\n\r\nΩmega {brace} back\\slash\r\n\fPage two — "
            "dash\r\n");
        QTest::newRow("ansi") << int(FormatAnsiText) << "WINDOWS-1252"
                              << QString(full).replace(QStringLiteral("Ω"), QStringLiteral("?"));
        QTest::newRow("dos") << int(FormatDosText) << "CP437"
                             << QString(full).replace(QStringLiteral("—"), QStringLiteral("?"));
        QTest::newRow("unicode") << int(FormatUnicodeText) << "UTF-16" << full;
    }
    void plainTextReadBack() {
        auto [format, iconvName, expected] =
            fetch<int, QString, QString>("format", "iconvName", "expected");
        const QByteArray bytes = writeToBytes(format, twoPages());
        if (format == FormatUnicodeText)
            QVERIFY(bytes.startsWith("\xFF\xFE"));
        QCOMPARE(iconvToUtf8(iconvName, bytes), expected);
    }

    void rtfParsesStrictly() {
        const QByteArray rtf = writeToBytes(FormatRtf, twoPages());
        QVERIFY(rtf.startsWith("{\\rtf1"));
        int pages = 0;
        const QString text = readRtf(rtf, &pages);
        QCOMPARE(pages, 2);
        QCOMPARE(text, QStringLiteral("Grüße aus Köln zweite Zeile\nΩmega {brace} back\\slash\n"
                                      "Page two — dash\n"));
        // Characters beyond 0x7FFF are written as negative numbers.
        QCOMPARE(RtfWriter::escape(QStringLiteral("\uFB01")), QByteArray("\\u-1279?"));
    }

    void htmlIsValidHocr() {
        QTemporaryDir dir;
        const QString path = writeToFile(dir, QStringLiteral("out.html"), FormatHtml, twoPages());
        const test::ToolRun lint = runTool(
            QStringLiteral("xmllint"), {QStringLiteral("--html"), QStringLiteral("--noout"), path});
        QCOMPARE(lint.exitCode, 0);
        QVERIFY2(lint.err.isEmpty(), lint.err.constData());
        auto xpath = [&](const QString& expr) {
            return QString::fromUtf8(
                       runTool(QStringLiteral("xmllint"),
                               {QStringLiteral("--html"), QStringLiteral("--xpath"), expr, path})
                           .out)
                .trimmed();
        };
        QCOMPARE(xpath(QStringLiteral("count(//div[@class='ocr_page'])")), QStringLiteral("2"));
        QCOMPARE(xpath(QStringLiteral("count(//*[@class='ocrx_word'])")), QStringLiteral("12"));
        QCOMPARE(xpath(QStringLiteral("count(//p[@class='ocr_par'])")), QStringLiteral("3"));
        QCOMPARE(xpath(QStringLiteral("string((//*[@class='ocrx_word'])[1]/@title)")),
                 QStringLiteral("bbox 100 100 200 140; x_wconf 90"));
        QCOMPARE(xpath(QStringLiteral("string((//*[@class='ocrx_word'])[7])")),
                 QStringLiteral("{brace}"));
        QCOMPARE(xpath(QStringLiteral("string(//div[@class='ocr_page'][1]/@title)")),
                 QStringLiteral("bbox 0 0 2480 3508; ppageno 0; scan_res 300 300"));
    }

    void tabularColumns_data() {
        QTest::addColumn<bool>("splitIntoBlocks");
        QTest::newRow("one block per row") << false;
        // The recogniser often returns each table column as a block of its own.
        QTest::newRow("one block per column") << true;
    }
    void tabularColumns() {
        QFETCH(bool, splitIntoBlocks);
        const QList<QStringList> cells = {
            {QStringLiteral("City"), QStringLiteral("Count"), QStringLiteral("Note")},
            {QStringLiteral("New York"), QStringLiteral("12"), QStringLiteral("big apple")},
            {QStringLiteral("Oslo"), QStringLiteral("7"), QStringLiteral("cold")}};
        const int columnX[] = {100, 700, 1100};
        RecognizedPage page;
        page.size = QSize(2480, 3508);
        RecognizedBlock rowsBlock;
        QVector<RecognizedBlock> columnBlocks(3);
        for (int r = 0; r < cells.size(); ++r) {
            RecognizedLine rowLine;
            for (int c = 0; c < 3; ++c) {
                RecognizedLine cellLine;
                int x = columnX[c];
                for (const QString& w : cells[r][c].split(QLatin1Char(' '))) {
                    RecognizedWord word{w, QRect(x, 100 + r * 60 + c, 20 * int(w.size()), 40), 90};
                    x += word.box.width() + 12;
                    rowLine.words.append(word);
                    cellLine.words.append(word);
                }
                columnBlocks[c].paragraphs.append(RecognizedParagraph{{}, {cellLine}});
            }
            rowsBlock.paragraphs.append(RecognizedParagraph{{}, {rowLine}});
        }
        page.blocks = splitIntoBlocks ? columnBlocks : QVector<RecognizedBlock>{rowsBlock};
        RecognizedDocument doc;
        doc.pages.append(page);
        const QStringList rows = QString::fromLatin1(writeToBytes(FormatTabular, doc))
                                     .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 3);
        for (int r = 0; r < 3; ++r)
            QCOMPARE(rows[r].split(QLatin1Char('\t')), cells[r]);
    }

    void formattedGridKeepsLayout() {
        // Two columns side by side and a gap of three lines before the last paragraph.
        RecognizedPage page = handMadePage({QStringLiteral("left one\nleft two")});
        RecognizedPage right = handMadePage({QStringLiteral("right one\nright two")});
        for (RecognizedParagraph& p : right.blocks[0].paragraphs) {
            for (RecognizedLine& l : p.lines) {
                for (RecognizedWord& w : l.words)
                    w.box.translate(800, 0);
            }
        }
        page.blocks.append(right.blocks[0]);
        RecognizedPage low = handMadePage({QStringLiteral("bottom")});
        low.blocks[0].paragraphs[0].lines[0].words[0].box.translate(0, 300);
        page.blocks.append(low.blocks[0]);
        RecognizedDocument doc;
        doc.pages = {page, page};
        const QByteArray bytes = writeToBytes(FormatUnicodeFormatted, doc);
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        const QStringList pages = iconvToUtf8("UTF-16", bytes).split(QLatin1Char('\f'));
        QCOMPARE(pages.size(), 2);
        const QStringList lines = pages[0].split(QStringLiteral("\r\n"));
        // Characters are 20 px wide: the right column starts at column 800 / 20 = 40.
        QCOMPARE(lines.value(0), QStringLiteral("left one") + QString(40 - 8, QLatin1Char(' ')) +
                                     QStringLiteral("right one"));
        QCOMPARE(lines.value(1).indexOf(QStringLiteral("right two")), 40);
        // 60 px a line from the first line at 100 px: "bottom" at 400 px lies on row 5.
        QCOMPARE(lines.value(5), QStringLiteral("bottom"));
        QVERIFY(lines.value(3).isEmpty());
    }

    void pdfReadBack_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("pageKind");
        // pdfimages -list "enc" column (a pattern); "" = no image. Bilevel pages take CCITT G4
        // or Flate, whichever is smaller: these synthetic marks repeat row after row, which
        // Flate packs better; real text pages come out as CCITT (see the engine tests).
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("expectedText");
        const QString unicodeText = QStringLiteral("Grüße aus Köln zweite Zeile Ωmega");
        const QString ansiText = QStringLiteral("Grüße aus Köln zweite Zeile ?mega");
        auto row = [](const char* name, int format, const char* kind, const char* enc,
                      const QString& text) {
            QTest::newRow(name) << format << QString(kind) << QString(enc) << text;
        };
        row("text only", FormatPdfTextOnly, "bilevel", "", ansiText);
        row("text on bilevel image", FormatPdfTextOnImage, "bilevel", "ccitt|image", ansiText);
        row("image on text, bilevel", FormatPdfImageOnText, "bilevel", "ccitt|image", unicodeText);
        row("image on text, grey", FormatPdfImageOnText, "grey", "image", unicodeText);
        row("image on text, colour", FormatPdfImageOnText, "colour", "image", unicodeText);
        row("image on text, jpeg", FormatPdfImageOnText, "jpeg", "jpeg", unicodeText);
    }
    void pdfReadBack() {
        auto [format, pageKind, encoding, expectedText] =
            fetch<int, QString, QString, QString>("format", "pageKind", "encoding", "expectedText");
        QTemporaryDir dir;
        RecognizedPage page =
            handMadePage({QStringLiteral("Grüße aus Köln\nzweite Zeile"), QStringLiteral("Ωmega")},
                         QSize(1240, 1754));
        QImage image(page.size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            // Rows of glyph-like marks.
            QPainter painter(&image);
            for (int row = 0; row < 20; ++row) {
                for (int x = 100; x < 1100; x += 23 + (row * 7 + x) % 11)
                    painter.fillRect(QRect(x, 100 + row * 60, 8 + (x % 9), 30),
                                     QColor(200, 30, 30));
            }
        }
        if (pageKind == QLatin1String("bilevel")) {
            page.image = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
        } else if (pageKind == QLatin1String("grey")) {
            page.image = image.convertToFormat(QImage::Format_Grayscale8);
        } else {
            page.image = image;
        }
        if (pageKind == QLatin1String("jpeg")) {
            const QString jpegPath =
                test::writeImage(dir.filePath(QStringLiteral("p.jpg")), image, "jpg");
            page.jpegData = test::readAll(jpegPath);
        }
        RecognizedDocument doc;
        doc.pages = {page};
        const QString pdf = writeToFile(dir, QStringLiteral("out.pdf"), format, doc);

        const test::ToolRun text = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.err.isEmpty(), text.err.constData());
        QCOMPARE(test::normalizedText(QString::fromUtf8(text.out)), expectedText);

        const test::ToolRun list =
            runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        QCOMPARE(list.exitCode, 0);
        const QStringList rows =
            QString::fromUtf8(list.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (encoding.isEmpty()) {
            QCOMPARE(rows.size(), 2);  // the two heading lines
            return;
        }
        QCOMPARE(rows.size(), 3);
        const QStringList columns = rows[2].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(columns.value(3), QString::number(page.size.width()));
        QCOMPARE(columns.value(4), QString::number(page.size.height()));
        QVERIFY2(QRegularExpression(QStringLiteral("^(%1)$").arg(encoding))
                     .match(columns.value(8))
                     .hasMatch(),
                 qPrintable(columns.value(8)));
        // Lossless pages come back with the same pixels, a JPEG page as its original stream.
        const bool jpeg = pageKind == QLatin1String("jpeg");
        QCOMPARE(runTool("pdfimages", {jpeg ? "-j" : "-png", pdf, dir.filePath("x")}).exitCode, 0);
        if (jpeg) {
            QCOMPARE(test::readAll(dir.filePath(QStringLiteral("x-000.jpg"))), page.jpegData);
        } else {
            const QImage back(dir.filePath(QStringLiteral("x-000.png")));
            QCOMPARE(back.convertToFormat(QImage::Format_RGB32),
                     page.image.convertToFormat(QImage::Format_RGB32));
        }
    }

    void invisibleWordsSitOnTheirBoxes() {
        QTemporaryDir dir;
        RecognizedPage page =
            handMadePage({QStringLiteral("alpha beta gamma\ndelta"), QStringLiteral("epsilon")});
        page.image = QImage(page.size, QImage::Format_Mono);
        page.image.fill(1);
        RecognizedDocument doc;
        doc.pages = {page};
        const QString pdf = writeToFile(dir, QStringLiteral("out.pdf"), FormatPdfImageOnText, doc);
        const test::ToolRun run = runTool(QStringLiteral("pdftotext"),
                                          {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        QCOMPARE(run.exitCode, 0);
        static const QRegularExpression wordRe(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                           "yMax=\"([\\d.]+)\">([^<]*)</word>"));
        QVector<RecognizedWord> expected;
        for (const RecognizedParagraph& p : page.blocks[0].paragraphs) {
            for (const RecognizedLine& l : p.lines)
                expected += l.words;
        }
        auto it = wordRe.globalMatch(QString::fromUtf8(run.out));
        int n = 0;
        const double k = 72.0 / 300.0;
        constexpr double kTolerance = 3.0;  // points
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            QVERIFY(n < expected.size());
            const RecognizedWord& w = expected[n++];
            QCOMPARE(m.captured(5), w.text);
            const double want[] = {w.box.left() * k, w.box.top() * k, (w.box.right() + 1) * k,
                                   (w.box.bottom() + 1) * k};
            for (int c = 0; c < 4; ++c)
                QVERIFY2(qAbs(m.captured(c + 1).toDouble() - want[c]) < kTolerance,
                         qPrintable(w.text));
        }
        QCOMPARE(n, expected.size());
    }
};

QTEST_GUILESS_MAIN(TestOcrWriters)
#include "tst_ocrwriters.moc"
