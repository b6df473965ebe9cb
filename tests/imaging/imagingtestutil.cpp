#include "imagingtestutil.h"

#include <QFile>

#include <tiffio.h>

#include <vector>

namespace ktdv::test {

QString writeFax(const QString& path, const QImage& source, const FaxCoding& shape) {
    const QImage image = source.convertToFormat(QImage::Format_Mono);
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return {};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, quint32(image.width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, quint32(image.height()));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, shape.compression);
    TIFFSetField(tif, TIFFTAG_FILLORDER, shape.fillOrder);
    if (shape.compression == COMPRESSION_CCITTFAX3)
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, shape.group3Options);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                 quint32(shape.rowsPerStrip > 0 ? shape.rowsPerStrip : image.height()));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 204.0f);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 196.0f);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    const bool zeroIsBlack = qGray(image.color(0)) < qGray(image.color(1));
    std::vector<uchar> row(size_t((image.width() + 7) / 8));
    for (int y = 0; y < image.height(); ++y) {
        const uchar* src = image.constScanLine(y);
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = zeroIsBlack ? uchar(~src[i]) : src[i];
        if (TIFFWriteScanline(tif, row.data(), quint32(y), 0) < 0) {
            TIFFClose(tif);
            return {};
        }
    }
    const bool ok = TIFFWriteDirectory(tif) != 0;
    TIFFClose(tif);
    return ok ? path : QString();
}

QByteArray rawStrip(const QString& path, int strip) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return {};
    const quint64 size = TIFFGetStrileByteCount(tif, quint32(strip));
    QByteArray out(qsizetype(size), '\0');
    const tmsize_t got = TIFFReadRawStrip(tif, quint32(strip), out.data(), tmsize_t(size));
    TIFFClose(tif);
    return got == tmsize_t(size) ? out : QByteArray();
}

double blackRatio(const QImage& image) {
    if (image.isNull())
        return 0;
    qint64 black = 0;
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar* p = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x)
            black += p[x] < 128;
    }
    return double(black) / (double(grey.width()) * grey.height());
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

}  // namespace ktdv::test
