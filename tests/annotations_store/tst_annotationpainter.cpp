// Annotations drawn at different zooms, turns and flips land over the page content they
// belong to, and stay inside their own bounds.
#include <QPainter>
#include <QtTest>

#include "imaging/annotationpainter.h"

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
    void filledRectangleLandsWhereExpected_data() {
        QTest::addColumn<QTransform>("view");
        QTest::addColumn<QSize>("device");
        QTest::addColumn<QRect>("expected");
        const QTransform right = pageTurnMatrix(kPage, QTransform().rotate(90));
        const QTransform flipped = pageTurnMatrix(kPage, QTransform::fromScale(1, -1));
        QTest::newRow("actual size") << QTransform() << kPage << QRect(20, 10, 40, 30);
        QTest::newRow("200%") << QTransform::fromScale(2, 2) << kPage * 2 << QRect(40, 20, 80, 60);
        QTest::newRow("50%, turned right")
            << right * QTransform::fromScale(0.5, 0.5) << QSize(50, 100) << QRect(30, 10, 15, 20);
        QTest::newRow("150%, flipped") << flipped * QTransform::fromScale(1.5, 1.5)
                                       << QSize(300, 150) << QRect(30, 90, 60, 45);
    }
    void filledRectangleLandsWhereExpected() {
        QFETCH(QTransform, view);
        QFETCH(QSize, device);
        QFETCH(QRect, expected);
        const Annotation a = Annotation::make(Annotation::FilledRect, QRectF(20, 10, 40, 30));
        const QImage image = paintOnWhite(device, {a}, view);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY2(image.pixel(x, y) == (expected.contains(x, y) ? qRgb(0, 0, 255) : ~0u),
                         qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
    }

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
        QTest::addColumn<Annotation>("annotation");
        QTest::addColumn<QTransform>("view");
        QTest::addColumn<QSizeF>("dpi");
        QTest::addColumn<int>("minInkHeight");  // device pixels
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
        QFETCH(Annotation, annotation);
        QFETCH(QTransform, view);
        QFETCH(QSizeF, dpi);
        QFETCH(int, minInkHeight);
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
