// Writes the demo's sample document: six pages of mixed kinds, each with its number in
// readable text and a few shapes, so a person can tell at a glance that every kind of
// page decodes and scales.
//   1  bilevel, CCITT group 4, 150 dpi portrait
//   2  8-bit grey, LZW with predictor, 150 dpi
//   3  colour, JPEG (YCbCr), 150 dpi
//   4  fax: bilevel, CCITT group 3 one-dimensional, 204 x 98 dpi
//   5  bilevel, CCITT group 4, 150 dpi landscape
//   6  8-bit grey, LZW, 100 dpi small page
// Usage: make_sample OUTPUT.tif

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <tiffio.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

enum class Kind { G4, LzwGrey, JpegColour, Fax };

struct PagePlan {
    Kind kind;
    int width;
    int height;
    double dpiX;
    double dpiY;
};

// The page's picture at its own resolution. Drawing happens in a square-pixel space and
// is squeezed vertically for pages whose vertical resolution is lower (fax).
QImage drawPage(const PagePlan& plan, int number) {
    QImage img(plan.width, plan.height, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, plan.kind != Kind::G4 && plan.kind != Kind::Fax);
    p.scale(1.0, plan.dpiY / plan.dpiX);
    const double w = plan.width;
    const double h = plan.height * plan.dpiX / plan.dpiY;  // height in square pixels
    const double u = plan.dpiX / 100.0;                    // one unit = 1/100 inch

    const bool colour = plan.kind == Kind::JpegColour;
    const QColor ink = Qt::black;
    const QColor accent = colour ? QColor(200, 30, 40) : QColor(90, 90, 90);
    const QColor fillA = colour ? QColor(40, 120, 220) : QColor(150, 150, 150);
    const QColor fillB = colour ? QColor(250, 200, 40) : QColor(210, 210, 210);
    const bool bilevel = plan.kind == Kind::G4 || plan.kind == Kind::Fax;

    // Margin frame and a title.
    p.setPen(QPen(ink, 3 * u));
    p.drawRect(QRectF(40 * u, 40 * u, w - 80 * u, h - 80 * u));
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(static_cast<int>(36 * u));
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRectF(60 * u, 60 * u, w - 120 * u, 60 * u), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("KTDocView sample - page %1").arg(number));

    QFont body(QStringLiteral("DejaVu Serif"));
    body.setPixelSize(static_cast<int>(16 * u));
    p.setFont(body);
    const char* kinds[] = {"Bilevel page, CCITT group 4", "Grey page, LZW", "Colour page, JPEG",
                           "Fax page, 204 x 98 dots per inch"};
    p.drawText(QRectF(60 * u, 130 * u, w - 120 * u, 30 * u), Qt::AlignLeft,
               QString::fromLatin1(kinds[static_cast<int>(plan.kind)]) +
                   QStringLiteral(" (%1 x %2 pixels)").arg(plan.width).arg(plan.height));

    // Shapes: filled rectangle, ellipse, triangle, and a fan of fine lines.
    const double top = 190 * u;
    p.setPen(QPen(ink, 2 * u));
    p.setBrush(bilevel ? QBrush(ink, Qt::BDiagPattern) : QBrush(fillA));
    p.drawRect(QRectF(60 * u, top, 180 * u, 120 * u));
    p.setBrush(bilevel ? QBrush(ink, Qt::Dense6Pattern) : QBrush(fillB));
    p.drawEllipse(QRectF(280 * u, top, 160 * u, 120 * u));
    QPainterPath tri;
    tri.moveTo(480 * u, top + 120 * u);
    tri.lineTo(560 * u, top);
    tri.lineTo(640 * u, top + 120 * u);
    tri.closeSubpath();
    p.setBrush(bilevel ? QBrush(Qt::NoBrush) : QBrush(accent));
    p.drawPath(tri);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accent, 1));
    const QPointF origin(60 * u, h - 60 * u);
    for (int i = 0; i <= 24; ++i) {
        const double x = 60 * u + i * (w - 120 * u) / 24.0;
        p.drawLine(origin, QPointF(x, top + 260 * u));
    }

    // A block of ordinary text so recognition has something to read.
    p.setPen(ink);
    p.setFont(body);
    const QString lines[] = {
        QStringLiteral("The quick brown fox jumps over the lazy dog."),
        QStringLiteral("Page %1 of 6 in the sample document.").arg(number),
        QStringLiteral("Zoom, rotate and annotate this page to try the viewer."),
    };
    double y = top + 170 * u;
    for (const QString& line : lines) {
        p.drawText(QPointF(70 * u, y), line);
        y += 24 * u;
    }

    // A grey ramp where the page holds grey levels.
    if (!bilevel) {
        const QRectF ramp(w - 260 * u, top + 170 * u, 200 * u, 40 * u);
        QLinearGradient g(ramp.topLeft(), ramp.topRight());
        g.setColorAt(0, Qt::black);
        g.setColorAt(1, colour ? QColor(40, 200, 90) : Qt::white);
        p.fillRect(ramp, g);
        p.setPen(QPen(ink, 1));
        p.drawRect(ramp);
    }
    p.end();
    return img;
}

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};

bool writeBilevel(TIFF* tif, const QImage& img, bool fax) {
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, fax ? COMPRESSION_CCITTFAX3 : COMPRESSION_CCITTFAX4);
    if (fax) {
        TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, 0);
    }
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(img.height()));
    const int w = img.width();
    std::vector<uint8_t> row(static_cast<size_t>((w + 7) / 8));
    for (int y = 0; y < img.height(); ++y) {
        std::fill(row.begin(), row.end(), 0);
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qGray(src[x]) < 128) {
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        if (TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
            return false;
        }
    }
    return true;
}

bool writeGrey(TIFF* tif, const QImage& img) {
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    const QImage grey = img.convertToFormat(QImage::Format_Grayscale8);
    std::vector<uint8_t> row(static_cast<size_t>(grey.width()));
    for (int y = 0; y < grey.height(); ++y) {
        std::copy_n(grey.constScanLine(y), row.size(), row.begin());
        if (TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
            return false;
        }
    }
    return true;
}

bool writeJpeg(TIFF* tif, const QImage& img) {
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 85);
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);  // libtiff converts for us
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
    const QImage rgb = img.convertToFormat(QImage::Format_RGB888);
    std::vector<uint8_t> row(static_cast<size_t>(rgb.width()) * 3);
    for (int y = 0; y < rgb.height(); ++y) {
        std::copy_n(rgb.constScanLine(y), row.size(), row.begin());
        if (TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
            return false;
        }
    }
    return true;
}

bool writePage(TIFF* tif, const PagePlan& plan, int number, int count) {
    const QImage img = drawPage(plan, number);
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(plan.width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(plan.height));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(plan.dpiX));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(plan.dpiY));
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(number - 1),
                 static_cast<uint16_t>(count));
    TIFFSetField(tif, TIFFTAG_SOFTWARE, "KTDocView sample generator");
    bool ok = false;
    switch (plan.kind) {
        case Kind::G4:
            ok = writeBilevel(tif, img, false);
            break;
        case Kind::Fax:
            ok = writeBilevel(tif, img, true);
            break;
        case Kind::LzwGrey:
            ok = writeGrey(tif, img);
            break;
        case Kind::JpegColour:
            ok = writeJpeg(tif, img);
            break;
    }
    return ok && TIFFWriteDirectory(tif);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.tif\n", argv[0]);
        return 2;
    }
    // Text needs fonts and therefore a GUI application, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const PagePlan pages[] = {
        {Kind::G4, 1275, 1650, 150, 150},         {Kind::LzwGrey, 1275, 1650, 150, 150},
        {Kind::JpegColour, 1275, 1650, 150, 150}, {Kind::Fax, 1728, 1078, 204, 98},
        {Kind::G4, 1650, 1275, 150, 150},         {Kind::LzwGrey, 850, 1100, 100, 100},
    };
    const int count = static_cast<int>(std::size(pages));

    // Written beside the target and renamed over it, so a half-written file never remains.
    const QByteArray target = QByteArray(argv[1]);
    const QByteArray partial = target + ".part";
    {
        std::unique_ptr<TIFF, TiffCloser> tif(TIFFOpen(partial.constData(), "w"));
        if (!tif) {
            std::fprintf(stderr, "make_sample: cannot create %s\n", partial.constData());
            return 1;
        }
        for (int i = 0; i < count; ++i) {
            if (!writePage(tif.get(), pages[i], i + 1, count)) {
                std::fprintf(stderr, "make_sample: writing page %d failed\n", i + 1);
                tif.reset();
                std::remove(partial.constData());
                return 1;
            }
        }
    }
    if (std::rename(partial.constData(), target.constData()) != 0) {
        std::perror("make_sample: rename");
        std::remove(partial.constData());
        return 1;
    }
    return 0;
}
