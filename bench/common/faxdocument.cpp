#include "common/faxdocument.h"

#include <sys/resource.h>
#include <tiffio.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QPainter>

#include <vector>

namespace ktdv::bench {

namespace {
constexpr int kWidth = 2480;
constexpr int kHeight = 3508;

// 1 = black rows of a text-like page, packed MSB first.
std::vector<uint8_t> basePage() {
    QImage rgb(kWidth, kHeight, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        QFont f(QStringLiteral("DejaVu Serif"));
        f.setPixelSize(38);
        p.setFont(f);
        p.setPen(Qt::black);
        for (int line = 0; line < 70; ++line) {
            p.drawText(180, 260 + line * 44,
                       QStringLiteral("Line %1 of a facsimile page: invoice 4711, amount due "
                                      "1,234.56, reference ABC-%2")
                           .arg(line + 1)
                           .arg(line * 37));
        }
    }
    const int stride = (kWidth + 7) / 8;
    std::vector<uint8_t> bits(size_t(stride) * kHeight, 0);
    for (int y = 0; y < kHeight; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < kWidth; ++x)
            if (qGray(src[x]) < 128)
                bits[size_t(y) * stride + x / 8] |= uint8_t(0x80 >> (x & 7));
    }
    return bits;
}

int pagesIn(const QString& path) {
    // Not memory-mapped: the mapped file would count in the memory probes' peak.
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "rm");
    if (!tif)
        return 0;
    const int n = TIFFNumberOfDirectories(tif);
    TIFFClose(tif);
    return n;
}
}  // namespace

QString faxDocument(const QString& folder, int pages) {
    const QString path = folder + QStringLiteral("/fax-%1.tif").arg(pages);
    if (QFile::exists(path) && pagesIn(path) == pages)
        return path;
    TIFFSetWarningHandler(nullptr);
    const std::vector<uint8_t> base = basePage();
    const int stride = (kWidth + 7) / 8;
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return {};
    std::vector<uint8_t> page(base.size());
    for (int n = 0; n < pages; ++n) {
        page = base;
        // Page number as a row of blocks: bit i of n is a black block at column i.
        for (int bit = 0; bit < 11; ++bit) {
            if (!((n + 1) >> bit & 1))
                continue;
            for (int y = 80; y < 160; ++y)
                for (int x = 180 + bit * 100; x < 260 + bit * 100; x += 8)
                    page[size_t(y) * stride + x / 8] = 0xff;
        }
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kHeight);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0f);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0f);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kHeight);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(n), uint16_t(pages));
        for (int y = 0; y < kHeight; ++y)
            TIFFWriteScanline(tif, &page[size_t(y) * stride], y, 0);
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return path;
}

double referenceDecodeSeconds(const QString& path, int page) {
    QElapsedTimer t;
    t.start();
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return 0;
    TIFFSetDirectory(tif, tdir_t(page));
    const tmsize_t stripSize = TIFFStripSize(tif);
    std::vector<uint8_t> buffer(size_t(stripSize) * TIFFNumberOfStrips(tif));
    for (uint32_t s = 0; s < TIFFNumberOfStrips(tif); ++s)
        TIFFReadEncodedStrip(tif, s, buffer.data() + size_t(s) * stripSize, stripSize);
    TIFFClose(tif);
    return double(t.nsecsElapsed()) / 1e9;
}

long peakRssKiB() {
    // VmHWM rather than getrusage(): the kernel carries a process's peak across fork and
    // exec, so a probe started by a large benchmark would report its parent's peak.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace ktdv::bench
