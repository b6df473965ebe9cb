// Annotations as drawn: a highlight leaves the text under it readable, texts and stamps
// stay inside their own bounds in a turned view too (placement over the page at each zoom,
// turn and flip: tests/widgets/pageview).
#include <QPainter>
#include <QtTest>

#include "imaging/annotationgeometry.h"
#include "imaging/annotationpainter.h"
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv::imaging;

namespace {

const QSize kPage(200, 100);

QImage paintOnWhite(const QSize& size, const QList<Annotation>& list, const QTransform& view,
                    const QSizeF& dpi = {96, 96}) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    AnnotationPainter::paint(p, list, view, dpi);
    return image;
}

// Bounds of every pixel that is not white.
QRect inkBounds(const QImage& image) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                r |= QRect(x, y, 1, 1);
    return r;
}

}  // namespace

class TestAnnotationPainter : public QObject {
    Q_OBJECT

private slots:

    void highlightKeepsTextReadable() {
        QImage image(kPage, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.fillRect(QRect(0, 40, 200, 5), Qt::black);  // a line of "text"
        AnnotationPainter::paint(
            p, {Annotation::make(Annotation::Highlight, QRectF(10, 30, 100, 30))}, QTransform());
        p.end();
        QCOMPARE(image.pixel(50, 42), qRgb(0, 0, 0));
        QCOMPARE(image.pixel(50, 35), qRgb(255, 255, 0));
        QCOMPARE(image.pixel(150, 35), qRgb(255, 255, 255));
    }

    void textStaysInsideItsBox_data() {
        // minInkHeight: device pixels
        columns<Annotation, QTransform, QSizeF, int>("annotation", "view", "dpi", "minInkHeight");
        const QTransform right = pageTurnMatrix(QSizeF(400, 300), QTransform().rotate(90));
        Annotation frame = Annotation::make(Annotation::Text, QRectF(20, 20, 200, 120));
        frame.lineWidth = 0;
        frame.fontPointSize = 10;
        frame.text = QStringLiteral(
            "A longer note that cannot fit on one line of this frame, "
            "so it wraps onto the lines below it");
        QTest::newRow("stamp") << Annotation::stampAt({30, 40}, "Approved 05/Dec/2026", 14,
                                                      {96, 96})
                               << QTransform() << QSizeF(96, 96) << 10;
        QTest::newRow("stamp placed in a turned view")
            << Annotation::stampAt({30, 250}, "Draft", 14, {96, 96}, right) << right
            << QSizeF(96, 96) << 10;
        QTest::newRow("wrapped text") << frame << QTransform() << QSizeF(96, 96) << 30;
    }
    void textStaysInsideItsBox() {
        auto [annotation, view, dpi, minInkHeight] =
            fetch<Annotation, QTransform, QSizeF, int>("annotation", "view", "dpi", "minInkHeight");
        const QRect box = view.mapRect(annotation.rect).toAlignedRect();
        const QImage image = paintOnWhite(QSize(600, 500), {annotation}, view, dpi);
        const QRect ink = inkBounds(image);
        QVERIFY(box.adjusted(-1, -1, 1, 1).contains(ink));
        QVERIFY(ink.height() >= minInkHeight);
        if (annotation.kind == Annotation::Stamp) {
            // Drawn in the stamp's colour, with the text upright: wider than tall on screen.
            const QColor c = image.pixelColor(ink.center().x(), ink.top() + 1);
            QVERIFY(c.red() > c.blue());
            QVERIFY(ink.width() > ink.height());
        }
    }
};

QTEST_MAIN(TestAnnotationPainter)
#include "tst_annotationpainter.moc"
