// Scaling pages for the screen: bilevel pages average to grey, nothing thin disappears.
#include <QtTest>

#include "imaging/scaling.h"
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;

using ktdv::imaging::scaleForDisplay;

namespace {

// A bilevel page whose ink is where `ink` says; `oneIsInk` picks the colour table.
QImage bilevel(QSize size, bool oneIsInk, const std::function<bool(int, int)>& ink) {
    QImage img(size, QImage::Format_Mono);
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    img.setColorTable(oneIsInk ? QList<QRgb>{white, black} : QList<QRgb>{black, white});
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, ink(x, y) == oneIsInk ? 1 : 0);
    return img;
}

QPair<int, int> greyRange(const QImage& img) {
    int lo = 255, hi = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            lo = qMin(lo, qGray(img.pixel(x, y)));
            hi = qMax(hi, qGray(img.pixel(x, y)));
        }
    return {lo, hi};
}

const std::function<bool(int, int)> kPatterns[] = {
    [](int, int) { return false; },                   // 0 paper
    [](int, int) { return true; },                    // 1 ink
    [](int x, int y) { return (x + y) % 2 == 0; },    // 2 checker
    [](int x, int) { return x == 401; },              // 3 hairline down
    [](int, int y) { return y == 201; },              // 4 hairline across
    [](int x, int y) { return x == 13 && y == 29; },  // 5 one dot
};

}  // namespace

class TestScaling : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bilevelAveragesToGrey_data() {
        // lowest: darkest grey allowed; highest: lightest grey allowed
        columns<int, QSize, QSize, bool, int, int>("pattern", "source", "target", "oneIsInk",
                                                   "lowest", "highest");
        auto row = [](const char* name, int pattern, QSize source, QSize target, bool oneIsInk,
                      int lowest, int highest) {
            QTest::newRow(name) << pattern << source << target << oneIsInk << lowest << highest;
        };
        // Widths that are not a multiple of 8 exercise the padding of the last byte.
        row("paper stays white", 0, QSize(203, 97), QSize(50, 30), true, 255, 255);
        row("ink stays black", 1, QSize(203, 97), QSize(50, 30), true, 0, 0);
        row("inverted colour table", 1, QSize(203, 97), QSize(50, 30), false, 0, 0);
        row("checker halves to mid grey", 2, QSize(200, 100), QSize(50, 25), true, 120, 135);
        row("checker, uneven boxes", 2, QSize(301, 97), QSize(100, 32), true, 100, 155);
        row("hairline down survives 1/8", 3, QSize(800, 400), QSize(100, 50), true, 0, 252);
        row("one dot survives 1/10", 5, QSize(500, 300), QSize(50, 30), true, 0, 252);
        row("enlarging keeps pure black and white", 2, QSize(20, 10), QSize(60, 30), true, 0, 255);
        // Boxes taller than 31 rows: the packed per-byte counts are spread before they overflow.
        row("checker, 80-row boxes", 2, QSize(800, 400), QSize(10, 5), true, 120, 135);
        row("hairline across survives 1/40", 4, QSize(800, 400), QSize(20, 10), true, 0, 252);
    }
    void bilevelAveragesToGrey() {
        auto [pattern, source, target, oneIsInk, lowest, highest] =
            fetch<int, QSize, QSize, bool, int, int>("pattern", "source", "target", "oneIsInk",
                                                     "lowest", "highest");
        const QImage page = bilevel(source, oneIsInk, kPatterns[pattern]);
        const QImage out = scaleForDisplay(page, target);
        QCOMPARE(out.size(), target);
        QCOMPARE(out.format(), QImage::Format_Grayscale8);
        const auto [lo, hi] = greyRange(out);
        if (pattern >= 3) {  // a thin mark shows as a darker box on white, never vanishes
            QVERIFY2(lo <= highest, qPrintable(QString::number(lo)));
            QCOMPARE(hi, 255);
        } else {
            QVERIFY2(lo >= lowest && hi <= highest,
                     qPrintable(QStringLiteral("%1..%2").arg(lo).arg(hi)));
        }
        // Drawn into caller's memory as RGB32, the same greys.
        QImage rgb(target, QImage::Format_RGB32);
        QVERIFY(ktdv::imaging::scaleForDisplayInto(page, target, rgb.rect(), rgb));
        QCOMPARE(rgb.convertToFormat(QImage::Format_Grayscale8), out);
    }
};

QTEST_GUILESS_MAIN(TestScaling)
#include "tst_scaling.moc"
