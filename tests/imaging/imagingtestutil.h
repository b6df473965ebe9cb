#pragma once
// Helpers shared by the imaging tests: fax pages written with chosen coding options,
// raw strips, pixel statistics.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace ktdv::test {

struct FaxCoding {
    int compression = 4;        // 3 or 4
    quint32 group3Options = 0;  // 1 = 2-D, 4 = byte-aligned EOLs
    int fillOrder = 1;          // 2 = least significant bit first
    int rowsPerStrip = 0;       // 0 = one strip
};

// A one-page fax TIFF of `image` (Format_Mono, 0 = black) with the given coding.
QString writeFax(const QString& path, const QImage& image, const FaxCoding& shape);
// The raw (still coded) bytes of one strip of a TIFF's first page.
QByteArray rawStrip(const QString& path, int strip);

// Share of black pixels (Format_Mono with 0 = black, or anything else by grey level).
double blackRatio(const QImage& image);
// The same pixels (compared as 32-bit RGB), sizes equal.
bool samePixels(const QImage& a, const QImage& b);

}  // namespace ktdv::test
