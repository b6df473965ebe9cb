// Decoding one TIFF page into a QImage. Common layouts (bilevel, grey, palette, RGB, in
// strips or tiles) are decoded strip by strip straight into the image's scanlines; odd
// ones (YCbCr, CMYK, Lab, JPEG, planar data) go through libtiff's RGBA reader. Fax pages
// that libtiff cannot decode are decoded again, strip by strip, by our own fax decoder.

#include <QCoreApplication>
#include <QFileInfo>
#include <QTransform>

#include <functional>
#include <vector>

#include "imaging/ccittdecoder.h"
#include "imaging/decoders.h"
#include "imaging/limits.h"
#include "imaging/tiffhandle.h"

namespace ktdv::imaging::detail {

namespace {

constexpr double kDefaultBilevelDpi = 200.0;
constexpr double kDefaultDpi = 96.0;

struct Layout {
    quint32 width = 0, height = 0;
    quint16 bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISWHITE, compression = 1;
    quint16 planar = PLANARCONFIG_CONTIG, fillOrder = FILLORDER_MSB2LSB, orientation = 1;
    quint16 extraCount = 0, extraType = 0;
    quint32 group3Options = 0;
    bool tiled = false;
    bool hasPhotometric = false;
    bool colouredBilevel = false;  // a 1-bit palette whose two entries are not both grey
    qint64 fileSize = 0;           // bounds what a strip can hold, whatever its byte count claims
};

enum class Kind { Bilevel, Gray, Palette, Rgb, Rgba };

bool isFax(quint16 c) {
    return c == COMPRESSION_CCITTRLE || c == COMPRESSION_CCITTFAX3 || c == COMPRESSION_CCITTFAX4 ||
           c == COMPRESSION_CCITTRLEW;
}

Layout readLayout(TIFF* tif) {
    Layout l;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bps);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.spp);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.compression);
    l.hasPhotometric = TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric) == 1;
    if (!l.hasPhotometric)
        l.photometric = l.spp >= 3             ? PHOTOMETRIC_RGB
                        : isFax(l.compression) ? PHOTOMETRIC_MINISWHITE
                                               : PHOTOMETRIC_MINISBLACK;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l.planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &l.fillOrder);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &l.orientation);
    quint16* extraTypes = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &l.extraCount, &extraTypes) == 1 && l.extraCount &&
        extraTypes)
        l.extraType = extraTypes[0];
    TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &l.group3Options);
    l.tiled = TIFFIsTiled(tif) != 0;
    return l;
}

QSizeF readDpi(TIFF* tif, bool bilevel) {
    float x = 0, y = 0;
    quint16 unit = RESUNIT_INCH;
    TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x);
    TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    const double fallback = bilevel ? kDefaultBilevelDpi : kDefaultDpi;
    double xd = x, yd = y;
    const auto sane = [](double d) { return d > 0 && d <= 1e6; };
    if (!sane(xd) || !sane(yd)) {
        if (sane(xd))
            yd = xd;
        else if (sane(yd))
            xd = yd;
        else
            xd = yd = fallback;
    }
    if (unit == RESUNIT_CENTIMETER) {
        xd *= 2.54, yd *= 2.54;
    } else if (unit == RESUNIT_NONE) {
        yd = fallback * yd / xd;
        xd = fallback;
    }
    return {xd, yd};
}

Kind classify(const Layout& l) {
    if (l.compression == COMPRESSION_JPEG || l.compression == COMPRESSION_OJPEG)
        return Kind::Rgba;
    if (l.planar != PLANARCONFIG_CONTIG && l.spp > 1)
        return Kind::Rgba;
    const bool grey =
        l.photometric == PHOTOMETRIC_MINISWHITE || l.photometric == PHOTOMETRIC_MINISBLACK;
    if (grey && l.spp == 1 && l.bps == 1)
        return Kind::Bilevel;
    if (grey && l.spp == 1 && (l.bps == 2 || l.bps == 4 || l.bps == 8 || l.bps == 16))
        return Kind::Gray;
    if (l.photometric == PHOTOMETRIC_PALETTE && l.spp == 1 &&
        (l.bps == 1 || l.bps == 2 || l.bps == 4 || l.bps == 8))
        return l.bps == 1 && !l.colouredBilevel ? Kind::Bilevel : Kind::Palette;
    if (l.photometric == PHOTOMETRIC_RGB && (l.bps == 8 || l.bps == 16) && l.spp >= 3 && l.spp <= 8)
        return Kind::Rgb;
    return Kind::Rgba;
}

QVector<QRgb> paletteOf(TIFF* tif, int bps) {
    quint16 *r = nullptr, *g = nullptr, *b = nullptr;
    const int n = 1 << bps;
    QVector<QRgb> table;
    if (TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) != 1 || !r || !g || !b) {
        for (int i = 0; i < n; ++i) {
            const int v = i * 255 / (n - 1);
            table.append(qRgb(v, v, v));
        }
        return table;
    }
    bool eightBit = true;  // some writers store 8-bit values in the 16-bit map
    for (int i = 0; i < n; ++i)
        if (r[i] > 255 || g[i] > 255 || b[i] > 255)
            eightBit = false;
    const int shift = eightBit ? 0 : 8;
    for (int i = 0; i < n; ++i)
        table.append(qRgb(r[i] >> shift, g[i] >> shift, b[i] >> shift));
    return table;
}

// Converts one packed TIFF scanline into one image scanline.
using RowConverter = std::function<void(const uchar* in, uchar* out)>;

RowConverter converterFor(const Layout& l, Kind kind) {
    const quint32 w = l.width;
    const bool invert = l.photometric == PHOTOMETRIC_MINISWHITE;
    switch (kind) {
        case Kind::Bilevel: {
            const size_t bytes = (w + 7) / 8;
            if (!invert)
                return [bytes](const uchar* in, uchar* out) { memcpy(out, in, bytes); };
            return [bytes](const uchar* in, uchar* out) {
                for (size_t i = 0; i < bytes; ++i)
                    out[i] = uchar(~in[i]);
            };
        }
        case Kind::Gray: {
            const int bps = l.bps;
            return [w, bps, invert](const uchar* in, uchar* out) {
                for (quint32 x = 0; x < w; ++x) {
                    int v;
                    switch (bps) {
                        case 2:
                            v = ((in[x >> 2] >> (6 - 2 * (x & 3))) & 3) * 85;
                            break;
                        case 4:
                            v = ((in[x >> 1] >> (4 - 4 * (x & 1))) & 15) * 17;
                            break;
                        case 8:
                            v = in[x];
                            break;
                        default: {
                            quint16 s;
                            memcpy(&s, in + 2 * x, 2);
                            v = s >> 8;
                        }
                    }
                    out[x] = uchar(invert ? 255 - v : v);
                }
            };
        }
        case Kind::Palette: {
            const int bps = l.bps;
            return [w, bps](const uchar* in, uchar* out) {
                for (quint32 x = 0; x < w; ++x) {
                    switch (bps) {
                        case 1:
                            out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
                            break;
                        case 2:
                            out[x] = (in[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                            break;
                        case 4:
                            out[x] = (in[x >> 1] >> (4 - 4 * (x & 1))) & 15;
                            break;
                        default:
                            out[x] = in[x];
                    }
                }
            };
        }
        case Kind::Rgb: {
            const int spp = l.spp;
            const bool wide = l.bps == 16;
            const bool alpha = spp >= 4 && l.extraCount > 0;
            return [w, spp, wide, alpha](const uchar* in, uchar* out) {
                auto* px = reinterpret_cast<QRgb*>(out);
                for (quint32 x = 0; x < w; ++x) {
                    int c[4];
                    for (int k = 0; k < (alpha ? 4 : 3); ++k) {
                        if (wide) {
                            quint16 s;
                            memcpy(&s, in + 2 * (size_t(x) * spp + k), 2);
                            c[k] = s >> 8;
                        } else {
                            c[k] = in[size_t(x) * spp + k];
                        }
                    }
                    px[x] = qRgba(c[0], c[1], c[2], alpha ? c[3] : 255);
                }
            };
        }
        case Kind::Rgba:
            break;
    }
    return {};
}

QImage::Format formatFor(const Layout& l, Kind kind) {
    switch (kind) {
        case Kind::Bilevel:
            return QImage::Format_Mono;
        case Kind::Gray:
            return QImage::Format_Grayscale8;
        case Kind::Palette:
            return QImage::Format_Indexed8;
        case Kind::Rgb:
            if (l.spp >= 4 && l.extraCount > 0)
                return l.extraType == EXTRASAMPLE_ASSOCALPHA ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_ARGB32;
            return QImage::Format_RGB32;
        case Kind::Rgba:
            break;
    }
    return QImage::Format_ARGB32;
}

ccitt::Params faxParams(const Layout& l) {
    ccitt::Params p;
    p.width = int(l.width);
    p.lsbFirst = l.fillOrder == FILLORDER_LSB2MSB;
    switch (l.compression) {
        case COMPRESSION_CCITTFAX4:
            p.coding = ccitt::Coding::G4;
            break;
        case COMPRESSION_CCITTFAX3:
            p.coding = (l.group3Options & GROUP3OPT_2DENCODING) ? ccitt::Coding::TwoD
                                                                : ccitt::Coding::OneD;
            break;
        default:  // modified Huffman, rows byte aligned
            p.coding = ccitt::Coding::OneD;
            p.byteAlignedRows = true;
    }
    return p;
}

// Our own fax decoder on one raw strip; rows land in `packed` in libtiff's convention.
int decodeFaxStrip(TIFF* tif, const Layout& l, quint32 strip, int rows, uchar* packed,
                   qsizetype scanline, bool* clean) {
    const quint64 rawSize =
        qMin<quint64>(TIFFGetStrileByteCount(tif, strip), quint64(qMax<qint64>(0, l.fileSize)));
    *clean = false;
    if (rawSize == 0 || rawSize > quint64(limits::kMaxPageBytes))
        return 0;
    std::vector<uchar> raw(static_cast<size_t>(rawSize));
    const tmsize_t got = TIFFReadRawStrip(tif, strip, raw.data(), tmsize_t(rawSize));
    if (got <= 0)
        return 0;
    // libtiff hands raw strips over in file order; the decoder reverses bits itself.
    const ccitt::StripResult r =
        ccitt::decodeStrip(raw.data(), got, faxParams(l), packed, scanline, rows);
    // Back to libtiff's convention (1 = black code) so the usual conversion applies.
    for (qsizetype i = 0; i < scanline * r.rows; ++i)
        packed[i] = uchar(~packed[i]);
    *clean = r.badRows == 0 && r.rows == rows;
    return r.rows;
}

// The byte that paints a row white (or the first palette entry).
uchar blankByte(const Layout& l, Kind kind) {
    switch (kind) {
        case Kind::Bilevel:
            return l.photometric == PHOTOMETRIC_PALETTE ? 0x00 : 0xFF;
        case Kind::Palette:
            return 0x00;
        default:
            return 0xFF;
    }
}

DecodedPage decodeStrips(TiffHandle& h, const Layout& l, Kind kind) {
    TIFF* tif = h.get();
    DecodedPage page;
    const QImage::Format format = formatFor(l, kind);
    const int bitsInMemory = QImage::toPixelFormat(format).bitsPerPixel();
    const tmsize_t scanline = TIFFScanlineSize(tif);
    if (scanline <= 0 || !pageFitsLimits(l.width, l.height, bitsInMemory, &page.error) ||
        qint64(scanline) * l.height > limits::kMaxPageBytes * 2) {
        if (page.error.isEmpty())
            page.error =
                QCoreApplication::translate("ktdv::imaging", "The page's layout is invalid");
        page.complete = false;
        return page;
    }
    QImage image(int(l.width), int(l.height), format);
    if (image.isNull()) {
        page.complete = false;
        page.error =
            QCoreApplication::translate("ktdv::imaging", "Out of memory for a %1 x %2 page")
                .arg(l.width)
                .arg(l.height);
        return page;
    }
    if (kind == Kind::Bilevel) {
        if (l.photometric == PHOTOMETRIC_PALETTE) {
            QVector<QRgb> table = paletteOf(tif, 1);
            image.setColorTable(table);
        } else {
            image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        }
    } else if (kind == Kind::Palette) {
        image.setColorTable(paletteOf(tif, l.bps));
    }
    const uchar blank = blankByte(l, kind);
    const auto blankRows = [&image, blank](int from, int to) {
        for (int y = from; y < to; ++y)
            memset(image.scanLine(y), blank, size_t(image.bytesPerLine()));
    };
    // The TIFF convention for bilevel rows is 1 = black in min-is-white; ours is 0 = black.
    const RowConverter convert = converterFor(l, kind);
    const bool fax = isFax(l.compression) && kind == Kind::Bilevel;

    qint64 rowsGood = 0;   // rows of strips decoded without an error
    qint64 rowsShown = 0;  // rows that hold decoded pixels
    QString firstError;
    std::vector<uchar> band;

    if (!l.tiled) {
        quint32 rowsPerStrip = l.height;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        if (rowsPerStrip == 0 || rowsPerStrip > l.height)
            rowsPerStrip = l.height;
        const quint32 strips = TIFFNumberOfStrips(tif);
        int covered = 0;
        std::vector<uchar> faxBand;
        band.resize(size_t(scanline) * rowsPerStrip);
        for (quint32 s = 0; s < strips; ++s) {
            const quint64 row0 = quint64(s) * rowsPerStrip;
            if (row0 >= l.height)
                break;
            const int rows = int(qMin<quint64>(rowsPerStrip, l.height - row0));
            h.clearError();
            const tmsize_t want = tmsize_t(rows) * scanline;
            const tmsize_t got = TIFFReadEncodedStrip(tif, s, band.data(), want);
            int rowsDecoded = got > 0 ? int(got / scanline) : 0;
            bool stripOk = got >= 0 && !h.hasError() && rowsDecoded >= rows;
            if (!stripOk) {
                if (firstError.isEmpty())
                    firstError = h.hasError() ? h.error()
                                              : QCoreApplication::translate(
                                                    "ktdv::imaging", "Strip %1 is incomplete")
                                                    .arg(s);
                if (h.hasError())  // what libtiff left after an error is not to be trusted
                    rowsDecoded = 0;
                if (fax) {
                    // Our own decoder on the raw strip; its rows win when it gets further.
                    faxBand.assign(band.size(), uchar(0));
                    bool clean = false;
                    const int ours =
                        decodeFaxStrip(tif, l, s, rows, faxBand.data(), scanline, &clean);
                    if (ours > rowsDecoded || clean) {
                        band.swap(faxBand);
                        rowsDecoded = ours;
                        stripOk = clean;
                    }
                }
            }
            for (int r = 0; r < rowsDecoded; ++r)
                convert(band.data() + size_t(r) * size_t(scanline), image.scanLine(int(row0) + r));
            blankRows(int(row0) + rowsDecoded, int(row0) + rows);
            rowsGood += stripOk ? rows : 0;
            rowsShown += rowsDecoded;
            covered = int(row0) + rows;
        }
        blankRows(covered, int(l.height));  // rows no strip holds
    } else {
        quint32 tw = 0, th = 0;
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
        const tmsize_t tileRow = TIFFTileRowSize(tif);
        const tmsize_t tileSize = TIFFTileSize(tif);
        if (tw == 0 || th == 0 || tileRow <= 0 || tileSize <= 0 ||
            tileSize > limits::kMaxPageBytes || qint64(scanline) * th > limits::kMaxPageBytes * 2 ||
            th > limits::kMaxPageDimension || tw > limits::kMaxPageDimension) {
            page.complete = false;
            page.error =
                QCoreApplication::translate("ktdv::imaging", "The page's tiles are invalid");
            return page;
        }
        band.resize(size_t(scanline) * th);
        std::vector<uchar> tile(static_cast<size_t>(tileSize));
        const int bitsPerPixel = l.bps * l.spp;
        for (quint32 y = 0; y < l.height; y += th) {
            const int rows = int(qMin<quint32>(th, l.height - y));
            bool bandOk = true, bandAny = false;
            std::fill(band.begin(), band.end(), uchar(0));
            for (quint32 x = 0; x < l.width; x += tw) {
                h.clearError();
                const tmsize_t got = TIFFReadEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, 0),
                                                         tile.data(), tileSize);
                if (got >= 0)
                    bandAny = true;
                if (got < 0 || h.hasError()) {
                    if (firstError.isEmpty())
                        firstError = h.error();
                    bandOk = false;
                    if (got < 0)
                        continue;
                }
                const size_t xByte = size_t(quint64(x) * bitsPerPixel / 8);
                const size_t copy = qMin<size_t>(size_t(tileRow), size_t(scanline) - xByte);
                for (int r = 0; r < rows; ++r)
                    memcpy(band.data() + size_t(r) * size_t(scanline) + xByte,
                           tile.data() + size_t(r) * size_t(tileRow), copy);
            }
            for (int r = 0; r < rows; ++r)
                convert(band.data() + size_t(r) * size_t(scanline), image.scanLine(int(y) + r));
            if (bandOk)
                rowsGood += rows;
            if (bandAny)
                rowsShown += rows;
        }
    }
    if (rowsShown == 0 && !firstError.isEmpty()) {
        page.complete = false;
        page.error = firstError;
        return page;
    }
    page.image = image;
    page.complete = rowsGood >= l.height;
    if (!page.complete)
        page.error = firstError.isEmpty()
                         ? QCoreApplication::translate("ktdv::imaging", "Page incomplete")
                         : firstError;
    return page;
}

DecodedPage decodeRgba(TiffHandle& h, const Layout& l) {
    TIFF* tif = h.get();
    DecodedPage page;
    page.complete = false;
    if (!pageFitsLimits(l.width, l.height, 32, &page.error))
        return page;
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message)) {
        page.error = QString::fromLocal8Bit(message);
        if (page.error.isEmpty())
            page.error = h.error();
        return page;
    }
    TIFFRGBAImage img;
    if (!TIFFRGBAImageBegin(&img, tif, 0, message)) {
        page.error = QString::fromLocal8Bit(message);
        return page;
    }
    // Orientation is applied afterwards for every kind of page alike.
    img.req_orientation = ORIENTATION_TOPLEFT;
    img.orientation = ORIENTATION_TOPLEFT;
    QImage image(int(l.width), int(l.height), QImage::Format_ARGB32);
    if (image.isNull()) {
        TIFFRGBAImageEnd(&img);
        page.error =
            QCoreApplication::translate("ktdv::imaging", "Out of memory for a %1 x %2 page")
                .arg(l.width)
                .arg(l.height);
        return page;
    }
    std::vector<quint32> raster(size_t(l.width) * l.height, 0u);
    h.clearError();
    const int ok = TIFFRGBAImageGet(&img, raster.data(), l.width, l.height);
    TIFFRGBAImageEnd(&img);
    bool anyPixel = ok != 0;
    for (quint32 y = 0; y < l.height; ++y) {
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        const quint32* in = raster.data() + size_t(y) * l.width;
        for (quint32 x = 0; x < l.width; ++x) {
            const quint32 p = in[x];
            if (p)
                anyPixel = true;
            out[x] = qRgba(int(TIFFGetR(p)), int(TIFFGetG(p)), int(TIFFGetB(p)), int(TIFFGetA(p)));
        }
    }
    if (!anyPixel) {
        page.error = h.hasError() ? h.error()
                                  : QCoreApplication::translate("ktdv::imaging",
                                                                "The page could not be decoded");
        return page;
    }
    bool opaque = true;
    if (l.extraCount > 0 || l.spp == 2 || l.spp == 4 + (l.photometric == PHOTOMETRIC_SEPARATED)) {
        for (quint32 y = 0; y < l.height && opaque; ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(int(y)));
            for (quint32 x = 0; x < l.width; ++x)
                if (qAlpha(row[x]) != 255) {
                    opaque = false;
                    break;
                }
        }
    }
    if (opaque)
        image = image.convertToFormat(QImage::Format_RGB32);
    page.image = image;
    page.complete = ok != 0 && !h.hasError();
    if (!page.complete)
        page.error = h.hasError() ? h.error()
                                  : QCoreApplication::translate("ktdv::imaging", "Page incomplete");
    return page;
}

// A strip or tile of the page reaches past the end of the file: the file was cut short.
bool dataBeyondEnd(TIFF* tif, qint64 fileSize) {
    const quint32 count = TIFFIsTiled(tif) ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    for (quint32 i = 0; i < count && i < (1u << 20); ++i) {
        int failed = 0;
        const quint64 offset = TIFFGetStrileOffsetWithErr(tif, i, &failed);
        const quint64 bytes = TIFFGetStrileByteCountWithErr(tif, i, &failed);
        if (!failed && (offset > quint64(fileSize) || bytes > quint64(fileSize) - offset))
            return true;
    }
    return false;
}

QImage oriented(const QImage& image, int orientation, bool* transposed) {
    *transposed = orientation >= 5 && orientation <= 8;
    switch (orientation) {
        case 2:
            return image.mirrored(true, false);
        case 3:
            return image.mirrored(true, true);
        case 4:
            return image.mirrored(false, true);
        case 5:
        case 6:
        case 7:
        case 8:
            break;
        default:
            return image;
    }
    // Quarter turns: 1-bit pages are turned as 8-bit and brought back to 1-bit.
    const bool mono = image.format() == QImage::Format_Mono;
    QImage work = mono ? image.convertToFormat(QImage::Format_Grayscale8) : image;
    QTransform turn;
    turn.rotate(orientation == 8 ? -90 : 90);
    work = work.transformed(turn);
    if (orientation == 5)
        work = work.mirrored(true, false);
    if (orientation == 7)
        work = work.mirrored(false, true);
    if (mono)
        work = work.convertToFormat(QImage::Format_Mono, {qRgb(0, 0, 0), qRgb(255, 255, 255)},
                                    Qt::ThresholdDither);
    return work;
}

}  // namespace

DecodedPage decodeTiffPage(const QString& path, quint64 ifdOffset) {
    DecodedPage page;
    page.complete = false;
    TiffHandle h(path, "rh");
    if (!h) {
        page.error = h.error();
        return page;
    }
    if (!TIFFSetSubDirectory(h.get(), ifdOffset)) {
        page.error = h.hasError() ? h.error()
                                  : QCoreApplication::translate("ktdv::imaging",
                                                                "Cannot read the page directory");
        return page;
    }
    Layout l = readLayout(h.get());
    l.fileSize = QFileInfo(path).size();
    if (l.photometric == PHOTOMETRIC_PALETTE && l.bps == 1) {
        // Green and black, say, stay coloured: such pages are decoded as 8-bit palette pages.
        const QVector<QRgb> map = paletteOf(h.get(), 1);
        for (const QRgb c : map)
            l.colouredBilevel = l.colouredBilevel || qRed(c) != qGreen(c) || qGreen(c) != qBlue(c);
    }
    if (!pageFitsLimits(l.width, l.height, 1, &page.error))
        return page;
    quint16 sampleFormat = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(h.get(), TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    if (sampleFormat == SAMPLEFORMAT_IEEEFP) {
        page.error = QCoreApplication::translate("ktdv::imaging",
                                                 "%1-bit floating-point samples are not supported")
                         .arg(l.bps);
        return page;
    }
    const Kind kind = classify(l);
    page = kind == Kind::Rgba ? decodeRgba(h, l) : decodeStrips(h, l, kind);
    if ((page.image.isNull() || !page.complete) && dataBeyondEnd(h.get(), l.fileSize))
        page.error = QCoreApplication::translate("ktdv::imaging",
                                                 "The file ends inside the page's image data");
    if (page.image.isNull())
        return page;
    QSizeF dpi = readDpi(h.get(), l.bps == 1 && (kind == Kind::Bilevel || kind == Kind::Palette));
    bool transposed = false;
    page.image = oriented(page.image, l.orientation, &transposed);
    if (transposed)
        dpi.transpose();
    page.image.setDotsPerMeterX(dotsPerMeter(dpi.width()));
    page.image.setDotsPerMeterY(dotsPerMeter(dpi.height()));
    return page;
}

}  // namespace ktdv::imaging::detail
