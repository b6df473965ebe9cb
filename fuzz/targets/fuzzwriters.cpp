#include "targets/bytereader.h"
#include "targets/fuzztargets.h"

#include <QBuffer>

#include "ocr/recognizeddocument.h"
#include "ocr/writers/exportwriter.h"

namespace ktdv::fuzz {

namespace {

using namespace ocr;

QRect box(ByteReader& in) {
    return QRect(in.i16(), in.i16(), in.i16(), in.i16());
}

// Any UTF-16 code units: control characters, markup and escape characters of the
// formats, lone surrogates.
QString text(ByteReader& in) {
    const int n = in.below(24);
    QString s;
    for (int i = 0; i < n; ++i) {
        const uint8_t kind = in.u8();
        s.append(kind < 128 ? QChar(kind) : QChar(in.u16()));
    }
    return s;
}

// A page image of the formats the decoders produce, its pixels from the input.
QImage image(ByteReader& in) {
    static constexpr QImage::Format kFormats[] = {QImage::Format_Mono, QImage::Format_Grayscale8,
                                                  QImage::Format_Indexed8, QImage::Format_RGB32,
                                                  QImage::Format_ARGB32};
    const QImage::Format format = kFormats[in.below(int(std::size(kFormats)))];
    const int w = 1 + in.below(64), h = 1 + in.below(64);
    QImage img(w, h, format);
    if (format == QImage::Format_Mono)
        img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    if (format == QImage::Format_Indexed8) {
        QVector<QRgb> colors(1 + in.below(256));
        for (QRgb& c : colors)
            c = qRgb(in.u8(), in.u8(), in.u8());
        img.setColorTable(colors);
    }
    for (int y = 0; y < h; ++y) {
        uchar* line = img.scanLine(y);
        for (qsizetype x = 0; x < img.bytesPerLine(); ++x)
            line[x] =
                format == QImage::Format_Indexed8 ? uchar(in.u8() % img.colorCount()) : in.u8();
    }
    return img;
}

RecognizedPage page(ByteReader& in) {
    static constexpr double kDpi[] = {300, 72, 200, 96, 1, 600, 1200, 204, 98, 0};
    RecognizedPage p;
    p.size = QSize(in.below(20000), in.below(20000));
    p.dpi = QSizeF(kDpi[in.below(int(std::size(kDpi)))], kDpi[in.below(int(std::size(kDpi)))]);
    if (in.flag())
        p.image = image(in);
    if (in.flag())
        p.jpegData = (in.flag() ? QByteArray("\xFF\xD8\xFF", 3) : QByteArray()) + in.bytes(256);
    const int blocks = in.below(4);
    for (int b = 0; b < blocks; ++b) {
        RecognizedBlock block;
        block.box = box(in);
        const int paragraphs = in.below(3);
        for (int q = 0; q < paragraphs; ++q) {
            RecognizedParagraph paragraph;
            paragraph.box = box(in);
            const int lines = in.below(4);
            for (int l = 0; l < lines; ++l) {
                RecognizedLine line;
                line.box = box(in);
                line.baseline = in.flag() ? -1 : in.i16();
                const int words = in.below(6);
                for (int w = 0; w < words; ++w)
                    line.words.append({text(in), box(in), float(in.u8()) * 0.5F});
                paragraph.lines.append(line);
            }
            block.paragraphs.append(paragraph);
        }
        p.blocks.append(block);
    }
    return p;
}

}  // namespace

// Input: the recognition result, page by page; every writer writes all of it.
int fuzzWriters(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    RecognizedDocument document;
    const int pages = 1 + in.below(3);
    for (int i = 0; i < pages; ++i)
        document.pages.append(page(in));

    for (int format = 0; format <= 13; ++format) {
        const std::unique_ptr<ExportWriter> writer = createWriter(format);
        if (!writer)
            continue;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const bool ok = writer->writeDocument(&buffer, document);
        if (ok && (writer->hasError() || writer->pagesWritten() != document.pages.size()))
            fail("a writer reported success with an error or pages missing");
        if (!ok && !writer->hasError())
            fail("a writer failed without saying why");
    }
    return 0;
}

}  // namespace ktdv::fuzz
