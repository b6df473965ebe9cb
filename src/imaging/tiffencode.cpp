#include "imaging/tiffencode.h"

#include <QCoreApplication>
#include <vector>

#include "imaging/tiffhandle.h"
#include "imaging/tiffwriter.h"

namespace ktdv::imaging::detail {

namespace {

bool isBilevel(const QImage& image) {
    return (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB);
}

bool isGrey(const QImage& image) {
    if (image.format() == QImage::Format_Grayscale8)
        return true;
    if (image.format() != QImage::Format_Indexed8)
        return false;
    const QVector<QRgb> t = image.colorTable();
    if (t.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i)
        if (t[i] != qRgb(i, i, i))
            return false;
    return true;
}

}  // namespace

bool encodeTiff(const QString& path, const QImage& source, const EncodeOptions& options,
                QString* error) {
    const auto failWith = [error](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    if (source.isNull())
        return failWith(QCoreApplication::translate("ktdv::imaging", "No image to write"));
    TiffHandle h(path, options.bigEndian ? "wb" : "wl");
    if (!h)
        return failWith(h.error());
    TIFF* tif = h.get();
    QImage image = source;
    const int w = image.width(), height = image.height();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, quint32(w));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, quint32(height));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(image.dotsPerMeterX() * 0.0254));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(image.dotsPerMeterY() * 0.0254));

    enum { Mono, Grey, Palette, Rgb, Rgba } kind;
    int compression = options.compression;
    if (isBilevel(image)) {
        kind = Mono;
        image = image.convertToFormat(QImage::Format_Mono);
        if (compression == 0 || compression == COMPRESSION_JPEG)
            compression = COMPRESSION_CCITTFAX4;
    } else {
        if (compression == 0 || compression == COMPRESSION_CCITTFAX3 ||
            compression == COMPRESSION_CCITTFAX4 || compression == COMPRESSION_CCITTRLE ||
            compression == COMPRESSION_OJPEG)
            compression = compression == COMPRESSION_OJPEG ? COMPRESSION_JPEG : COMPRESSION_LZW;
        if (isGrey(image)) {
            kind = Grey;
            image = image.convertToFormat(QImage::Format_Grayscale8);
        } else if (image.format() == QImage::Format_Indexed8 && compression != COMPRESSION_JPEG) {
            kind = Palette;
        } else if (image.hasAlphaChannel() && compression != COMPRESSION_JPEG) {
            kind = Rgba;
            image = image.convertToFormat(QImage::Format_RGBA8888);
        } else {
            kind = Rgb;
            image = image.convertToFormat(QImage::Format_RGB888);
        }
    }
    switch (kind) {
        case Mono: {
            // 0 = black in memory; min-is-white files store 1 = black.
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                         options.minIsBlack ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_MINISWHITE);
            const QVector<QRgb> table = image.colorTable();
            const bool zeroIsBlack = table.size() < 2 || qGray(table[0]) <= qGray(table[1]);
            if (zeroIsBlack == !options.minIsBlack)
                image.invertPixels();
            break;
        }
        case Grey:
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            break;
        case Palette: {
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            std::vector<quint16> r(256, 0), g(256, 0), b(256, 0);
            const QVector<QRgb> table = image.colorTable();
            for (int i = 0; i < table.size() && i < 256; ++i) {
                r[size_t(i)] = quint16(qRed(table[i]) * 257);
                g[size_t(i)] = quint16(qGreen(table[i]) * 257);
                b[size_t(i)] = quint16(qBlue(table[i]) * 257);
            }
            TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
            break;
        }
        case Rgb:
        case Rgba:
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, kind == Rgba ? 4 : 3);
            if (kind == Rgba) {
                const quint16 extra = EXTRASAMPLE_UNASSALPHA;
                TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
            }
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                         compression == COMPRESSION_JPEG ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_RGB);
            break;
    }
    if (compression == COMPRESSION_JPEG && kind == Palette)
        compression = COMPRESSION_LZW;
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (compression == COMPRESSION_CCITTFAX3)
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, options.group3Options);
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, qMax(90, options.jpegQuality));
        if (kind == Rgb)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    if ((compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE ||
         compression == COMPRESSION_DEFLATE) &&
        kind != Mono)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    for (int y = 0; y < height; ++y) {
        if (TIFFWriteScanline(tif, const_cast<uchar*>(image.constScanLine(y)), quint32(y), 0) < 0)
            return failWith(h.hasError() ? h.error()
                                         : QCoreApplication::translate("ktdv::imaging",
                                                                       "Cannot write the image"));
    }
    if (!TIFFWriteDirectory(tif) || h.hasError())
        return failWith(
            h.hasError() ? h.error()
                         : QCoreApplication::translate("ktdv::imaging", "Cannot write the image"));
    return true;
}

}  // namespace ktdv::imaging::detail

namespace ktdv::imaging {

WriteResult writeTiffImage(const QString& path, const QImage& image) {
    QString error;
    WriteResult r = writeFileSafelyViaPath(path, [&](const QString& temp) {
        return detail::encodeTiff(temp, image, detail::EncodeOptions(), &error);
    });
    if (!r.ok && !error.isEmpty())
        r.error = error;
    return r;
}

}  // namespace ktdv::imaging
