// Scaling pages for the screen: bilevel pages average to grey, nothing thin disappears.
#include <QtTest>

#include "imaging/scaling.h"
#include "support/rows.h"

using ktdv::imaging::scaleForDisplay;
using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

namespace {

// Ink of the patterns, by number: all, checker, a hairline down, a hairline across, one dot.
bool ink(int pattern, int x, int y) {
    const bool marks[] = {true, (x + y) % 2 == 0, x == 401, y == 201, x == 13 && y == 29};
    return marks[pattern];
}

}  // namespace

class TestScaling : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void bilevelAveragesToGrey_data() {
        // oneIsInk picks the colour table; a thin mark (pattern 2 and up) must show at least as
        // dark as `lightest` on white, other pages keep their greys within lowest..lightest.
        columns<int, QSize, QSize, bool, int, int>("pattern", "source", "target", "oneIsInk",
                                                   "lowest", "lightest");
        // Widths that are not a multiple of 8 exercise the padding of the last byte.
        addRow("ink stays black", 0, QSize(203, 97), QSize(50, 30), true, 0, 0);
        addRow("inverted colour table", 0, QSize(203, 97), QSize(50, 30), false, 0, 0);
        addRow("checker, uneven boxes", 1, QSize(301, 97), QSize(100, 32), true, 100, 155);
        addRow("enlarging keeps pure black and white", 1, QSize(20, 10), QSize(60, 30), true, 0,
               255);
        // Boxes taller than 31 rows: the packed per-byte counts are spread before they overflow.
        addRow("checker, 80-row boxes", 1, QSize(800, 400), QSize(10, 5), true, 120, 135);
        addRow("hairline down survives 1/8", 2, QSize(800, 400), QSize(100, 50), true, 0, 252);
        addRow("hairline across survives 1/40", 3, QSize(800, 400), QSize(20, 10), true, 0, 252);
        addRow("one dot survives 1/10", 4, QSize(500, 300), QSize(50, 30), true, 0, 252);
    }
    void bilevelAveragesToGrey() {
        auto [pattern, source, target, oneIsInk, lowest, lightest] =
            fetch<int, QSize, QSize, bool, int, int>("pattern", "source", "target", "oneIsInk",
                                                     "lowest", "lightest");
        QImage page(source, QImage::Format_Mono);
        page.setColorTable(oneIsInk ? QList<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)}
                                    : QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x)
                page.setPixel(x, y, ink(pattern, x, y) == oneIsInk ? 1 : 0);
        }
        const QImage out = scaleForDisplay(page, target);
        QCOMPARE(out.size(), target);
        int lo = 255, hi = 0;
        for (int y = 0; y < target.height(); ++y) {
            for (int x = 0; x < target.width(); ++x) {
                lo = qMin(lo, qGray(out.pixel(x, y)));
                hi = qMax(hi, qGray(out.pixel(x, y)));
            }
        }
        if (pattern >= 2) {  // a thin mark shows as a darker box on white, never vanishes
            QVERIFY2(lo <= lightest, qPrintable(QString::number(lo)));
            QCOMPARE(hi, 255);
        } else {
            QVERIFY2(lo >= lowest && hi <= lightest,
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
