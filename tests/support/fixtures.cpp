#include "support/fixtures.h"

#include <tiffio.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <vector>

namespace ktdv::test {

namespace {

constexpr double kInchesPerMeter = 39.3700787;

QImage toKind(const QImage& rgb, PageKind kind) {
    switch (kind) {
        case PageKind::Bilevel: {
            QImage mono(rgb.size(), QImage::Format_Mono);
            mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
            for (int y = 0; y < rgb.height(); ++y) {
                const QRgb* src = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                uchar* dst = mono.scanLine(y);
                std::fill(dst, dst + mono.bytesPerLine(), 0);
                for (int x = 0; x < rgb.width(); ++x) {
                    if (qGray(src[x]) >= 128)
                        dst[x >> 3] |= uchar(0x80 >> (x & 7));  // white = 1
                }
            }
            return mono;
        }
        case PageKind::Gray8:
            return rgb.convertToFormat(QImage::Format_Grayscale8);
        case PageKind::Rgb8:
            return rgb.convertToFormat(QImage::Format_RGB888);
        case PageKind::Palette8:
            return rgb.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    }
    return rgb;
}

bool writePage(TIFF* tif, const TiffPage& layout, int n, int total) {
    const QImage img = renderPage(layout, n);
    const uint32_t w = img.width(), h = img.height();
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, layout.compression);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(layout.dpi.width()));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(layout.dpi.height()));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(n - 1), uint16_t(total));
    for (const auto& [tag, text] : layout.asciiTags) {
        const QByteArray t = text.toUtf8();
        TIFFSetField(tif, tag, t.constData());
    }
    int bytesPerPixel = 0;  // 0 = packed bits
    switch (layout.kind) {
        case PageKind::Bilevel:
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
            TIFFSetField(tif, TIFFTAG_FILLORDER, layout.fillOrder);
            if (layout.compression == COMPRESSION_CCITTFAX3)
                TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, layout.group3Options);
            break;
        case PageKind::Gray8:
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            bytesPerPixel = 1;
            break;
        case PageKind::Rgb8:
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
            if (layout.compression == COMPRESSION_JPEG) {
                TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
                TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
                TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 85);
            } else {
                TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
            }
            bytesPerPixel = 3;
            break;
        case PageKind::Palette8: {
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            std::vector<uint16_t> r(256), g(256), b(256);
            const auto table = img.colorTable();
            for (int i = 0; i < table.size() && i < 256; ++i) {
                r[i] = uint16_t(qRed(table[i]) * 257);
                g[i] = uint16_t(qGreen(table[i]) * 257);
                b[i] = uint16_t(qBlue(table[i]) * 257);
            }
            TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
            bytesPerPixel = 1;
            break;
        }
    }
    const qsizetype rowBytes = bytesPerPixel ? qsizetype(w) * bytesPerPixel : (w + 7) / 8;
    std::vector<uchar> row(static_cast<size_t>(rowBytes));
    auto fillRow = [&](uint32_t y) {
        const uchar* src = img.constScanLine(int(y));
        if (layout.kind == PageKind::Bilevel) {
            for (qsizetype i = 0; i < rowBytes; ++i)
                row[size_t(i)] = uchar(~src[i]);  // 1 = black
        } else {
            std::copy(src, src + rowBytes, row.begin());
        }
    };
    if (layout.tiled) {
        const uint32_t tw = 256, th = 256;
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, tw);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, th);
        const qsizetype tileRowBytes = bytesPerPixel ? qsizetype(tw) * bytesPerPixel : tw / 8;
        std::vector<uchar> tile(static_cast<size_t>(tileRowBytes * th));
        for (uint32_t ty = 0; ty < h; ty += th) {
            for (uint32_t tx = 0; tx < w; tx += tw) {
                std::fill(tile.begin(), tile.end(), layout.kind == PageKind::Bilevel ? 0 : 255);
                for (uint32_t y = ty; y < std::min(h, ty + th); ++y) {
                    fillRow(y);
                    const qsizetype from = bytesPerPixel ? qsizetype(tx) * bytesPerPixel : tx / 8;
                    const qsizetype len = std::min<qsizetype>(tileRowBytes, rowBytes - from);
                    std::copy(row.begin() + from, row.begin() + from + len,
                              tile.begin() + qsizetype(y - ty) * tileRowBytes);
                }
                if (TIFFWriteTile(tif, tile.data(), tx, ty, 0, 0) < 0)
                    return false;
            }
        }
    } else {
        TIFFSetField(
            tif, TIFFTAG_ROWSPERSTRIP,
            layout.rowsPerStrip > 0 ? uint32_t(layout.rowsPerStrip) : TIFFDefaultStripSize(tif, 0));
        for (uint32_t y = 0; y < h; ++y) {
            fillRow(y);
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
                return false;
        }
    }
    return TIFFWriteDirectory(tif) != 0;
}

}  // namespace

QImage renderPage(const TiffPage& layout, int n) {
    QImage rgb(layout.size, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.setRenderHint(QPainter::Antialiasing, false);
        const QString label =
            layout.label.isEmpty() ? QStringLiteral("Page %1").arg(n) : layout.label;
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(std::max(8, layout.size.height() / 12));
        f.setBold(true);
        p.setFont(f);
        const QColor ink = layout.kind == PageKind::Rgb8 || layout.kind == PageKind::Palette8
                               ? QColor(20, 40, 160)
                               : QColor(Qt::black);
        p.setPen(ink);
        p.drawText(
            QRect(0, layout.size.height() / 8, layout.size.width(), layout.size.height() / 4),
            Qt::AlignHCenter | Qt::AlignVCenter, label);
        // Fine lines: one-pixel rules that vanish when a scaler drops pixels.
        p.setPen(QPen(Qt::black, 1));
        for (int y = layout.size.height() / 2; y < layout.size.height() * 3 / 4; y += 8)
            p.drawLine(layout.size.width() / 10, y, layout.size.width() * 9 / 10, y);
        p.drawRect(2, 2, layout.size.width() - 5, layout.size.height() - 5);
        // A filled corner block marks the top left, so turns and flips show.
        p.fillRect(QRect(10, 10, layout.size.width() / 8, layout.size.height() / 16), ink);
    }
    QImage page = toKind(rgb, layout.kind);
    page.setDotsPerMeterX(qRound(layout.dpi.width() * kInchesPerMeter));
    page.setDotsPerMeterY(qRound(layout.dpi.height() * kInchesPerMeter));
    return page;
}

QString writeTiff(const QString& path, const QList<TiffPage>& pages, const char* mode) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), mode);
    if (!tif)
        return {};
    bool ok = true;
    for (int i = 0; i < pages.size() && ok; ++i)
        ok = writePage(tif, pages[i], i + 1, int(pages.size()));
    TIFFClose(tif);
    return ok ? path : QString();
}

QString writeTiff(const QString& path, int pageCount, const TiffPage& layout) {
    QList<TiffPage> pages;
    for (int i = 0; i < pageCount; ++i)
        pages.append(layout);
    return writeTiff(path, pages);
}

QString writeImage(const QString& path, const QImage& image, const char* format) {
    QImageWriter writer(path, format);
    if (qstrcmp(format, "jpg") == 0 || qstrcmp(format, "jpeg") == 0)
        writer.setQuality(90);
    return writer.write(image) ? path : QString();
}

QImage renderTextPage(const QStringList& lines, QSize size, int dpi, int pointSize,
                      const QString& family, bool bilevel) {
    QImage rgb(size, QImage::Format_RGB32);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.setRenderHint(QPainter::TextAntialiasing, !bilevel);
        QFont f(family);
        f.setPixelSize(std::max(6, pointSize * dpi / 72));
        p.setFont(f);
        p.setPen(Qt::black);
        const int margin = dpi / 2;
        const int step = f.pixelSize() * 3 / 2;
        int y = margin + f.pixelSize();
        for (const QString& line : lines) {
            p.drawText(margin, y, line);
            y += step;
        }
    }
    QImage page =
        bilevel ? toKind(rgb, PageKind::Bilevel) : rgb.convertToFormat(QImage::Format_Grayscale8);
    page.setDotsPerMeterX(qRound(dpi * kInchesPerMeter));
    page.setDotsPerMeterY(qRound(dpi * kInchesPerMeter));
    return page;
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

QImage libtiffPixels(const QString& path, int page) {
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(QFile::encodeName(path), "r"), TIFFClose);
    uint32_t w = 0, h = 0;
    if (!tif || !TIFFSetDirectory(tif.get(), tdir_t(page)) ||
        !TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &w) ||
        !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &h))
        return {};
    QImage image(int(w), int(h), QImage::Format_RGBA8888);  // libtiff's byte order: R G B A
    const bool ok = TIFFReadRGBAImageOriented(
        tif.get(), w, h, reinterpret_cast<uint32_t*>(image.bits()), ORIENTATION_TOPLEFT, 0);
    return ok ? image : QImage();
}

namespace {

// Each page: libtiff's printout of its tags (but the directory's own offset), and its raw
// strip or tile bytes.
QList<QPair<QByteArray, QByteArray>> readPages(const QString& path) {
    QList<QPair<QByteArray, QByteArray>> pages;
    TIFFSetWarningHandler(nullptr);  // private tags are unknown to libtiff
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(QFile::encodeName(path), "r"), TIFFClose);
    for (bool more = tif != nullptr; more; more = TIFFReadDirectory(tif.get())) {
        char* text = nullptr;
        size_t size = 0;
        FILE* f = open_memstream(&text, &size);
        TIFFPrintDirectory(tif.get(), f, 0);
        fclose(f);
        QByteArray tags(text, qsizetype(size));
        free(text);
        QByteArray data;
        for (uint32_t s = 0; s < TIFFNumberOfStrips(tif.get()); ++s) {
            QByteArray raw(qsizetype(TIFFGetStrileByteCount(tif.get(), s)), '\0');
            if (TIFFIsTiled(tif.get()))
                TIFFReadRawTile(tif.get(), s, raw.data(), raw.size());
            else
                TIFFReadRawStrip(tif.get(), s, raw.data(), raw.size());
            data += raw;
        }
        pages.append({tags.mid(tags.indexOf('\n')), data});
    }
    return pages;
}

}  // namespace

QStringList pageSnapshots(const QString& path) {
    QStringList out;
    for (const auto& [tags, data] : readPages(path))
        out << QString::fromLatin1(tags + data.toBase64());
    return out;
}

QList<QByteArray> rawPages(const QString& path) {
    QList<QByteArray> out;
    for (const auto& page : readPages(path))
        out << page.second;
    return out;
}

QStringList tiffinfoComplaints(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("tiffinfo"), {QStringLiteral("-D"), path});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("tiffinfo failed")};
    return QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
}

QStringList tiffcpComplaints(const QString& path) {
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral("tiffcp"), {QStringLiteral("-c"), QStringLiteral("none"), path,
                                       dir.filePath(QStringLiteral("decoded.tif"))});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("tiffcp failed")};
    return QString::fromLocal8Bit(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
}

QString corpusDir() {
    const QByteArray env = qgetenv("KTDV_CORPUS_DIR");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    const QByteArray src = qgetenv("KTDV_SOURCE_DIR");
    return QDir(QString::fromLocal8Bit(src)).absoluteFilePath(QStringLiteral("../shared/corpus"));
}

QString corpusFile(const QString& relative) {
    return QDir(corpusDir()).absoluteFilePath(relative);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : QString();
}

}  // namespace ktdv::test
