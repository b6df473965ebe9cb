#include "ocrtestutil.h"

#include "ocr/pagepreparation.h"

#include <leptonica/allheaders.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <vector>

namespace ktdv::test {

ToolRun runTool(const QString& program, const QStringList& arguments, const QByteArray& input) {
    ToolRun run;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    if (!p.waitForStarted(10000))
        return run;
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

QString normalizedText(const QString& text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return QString(text).replace(space, QStringLiteral(" ")).trimmed();
}

double characterErrorRate(const QString& recognised, const QString& reference) {
    const QString a = normalizedText(recognised);
    const QString b = normalizedText(reference);
    if (b.isEmpty())
        return a.isEmpty() ? 0.0 : 1.0;
    std::vector<int> row(static_cast<size_t>(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = static_cast<int>(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<size_t>(j)];
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            row[static_cast<size_t>(j)] =
                std::min({above + 1, row[static_cast<size_t>(j - 1)] + 1, diagonal + cost});
            diagonal = above;
        }
    }
    return row.back() / static_cast<double>(b.size());
}

bool writeMultiPageTiff(const QString& path, const QList<QImage>& pages) {
    QFile::remove(path);
    const QByteArray name = QFile::encodeName(path);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QImage& image = pages.at(i);
        ocr::PixPtr pix = ocr::pixFromImage(image);
        if (!pix)
            return false;
        pixSetResolution(pix.get(),
                         static_cast<l_int32>(std::lround(image.dotsPerMeterX() * 0.0254)),
                         static_cast<l_int32>(std::lround(image.dotsPerMeterY() * 0.0254)));
        const l_int32 comp = pixGetDepth(pix.get()) == 1 ? IFF_TIFF_G4 : IFF_TIFF_LZW;
        if (pixWriteTiff(name.constData(), pix.get(), comp, i == 0 ? "w" : "a") != 0)
            return false;
    }
    return true;
}

ocr::RecognizedPage handMadePage(const QStringList& paragraphs, QSize size, QPoint origin) {
    ocr::RecognizedPage page;
    page.size = size;
    page.dpi = QSizeF(300, 300);
    ocr::RecognizedBlock block;
    int y = origin.y();
    for (const QString& paragraphText : paragraphs) {
        ocr::RecognizedParagraph paragraph;
        for (const QString& lineText : paragraphText.split(QLatin1Char('\n'))) {
            ocr::RecognizedLine line;
            int x = origin.x();
            for (const QString& w : lineText.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                ocr::RecognizedWord word;
                word.text = w;
                word.box = QRect(x, y, 20 * static_cast<int>(w.size()), 40);
                word.confidence = 90;
                line.words.append(word);
                line.box = line.box.united(word.box);
                x += word.box.width() + 20;
            }
            line.baseline = y + 40;
            paragraph.lines.append(line);
            paragraph.box = paragraph.box.united(line.box);
            y += 60;
        }
        block.paragraphs.append(paragraph);
        block.box = block.box.united(paragraph.box);
        y += 60;
    }
    page.blocks.append(block);
    return page;
}

}  // namespace ktdv::test
