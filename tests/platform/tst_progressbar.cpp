#include "components/progressbar/progressbarwidget.h"
#include "platform/twips.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QtTest>

using namespace ktdv;

class TestProgressBar : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fill_data() {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("fraction");
        QTest::newRow("quarter") << 0 << 100 << 25.0 << 0.25;
        QTest::newRow("third, fractional") << 0 << 100 << 100.0 / 3 << 1.0 / 3;
        QTest::newRow("slightly above max") << 0 << 100 << 100.00000000000001 << 1.0;
        QTest::newRow("far above max") << 0 << 100 << 250.0 << 1.0;
        QTest::newRow("below min") << 10 << 20 << -5.0 << 0.0;
        QTest::newRow("offset range") << 10 << 20 << 15.0 << 0.5;
        QTest::newRow("range of one, full") << 0 << 1 << 1.0 << 1.0;
        QTest::newRow("empty range, reached") << 5 << 5 << 5.0 << 1.0;
        QTest::newRow("empty range, below") << 5 << 5 << 4.0 << 0.0;
        QTest::newRow("whole 16-bit range") << -32768 << 32767 << 0.0 << 32768.0 / 65535;
    }

    void fill() {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(double, value);
        QFETCH(double, fraction);

        ProgressBarWidget bar;
        bar.setMin(static_cast<qint16>(min));
        bar.setMax(static_cast<qint16>(max));
        bar.setValue(value);
        // The value is kept as given, only the drawing is clamped.
        QCOMPARE(bar.value(), value);
        QVERIFY(qAbs(bar.filledFraction() - fraction) < 1e-12);

        // The pixels agree: filled up to the fraction, empty beyond it.
        bar.resize(202, 20);
        const QImage img = bar.grab().toImage();
        const QColor fill = bar.palette().color(QPalette::Highlight);
        const QColor base = bar.palette().color(QPalette::Base);
        const int y = 4;  // above the caption-free middle; no caption set anyway
        for (int x = 2; x < 200; x += 9) {
            const double at = (x - 1 + 0.5) / 200.0;
            if (qAbs(at - fraction) < 0.02) {
                continue;
            }
            QCOMPARE(img.pixelColor(x, y), at < fraction ? fill : base);
        }
    }

    void captionIsCentred() {
        ProgressBarWidget bar;
        bar.resize(300, 24);
        const QImage empty = bar.grab().toImage();
        bar.setText(QStringLiteral("Recognising"));
        QCOMPARE(bar.text(), QStringLiteral("Recognising"));
        const QImage withText = bar.grab().toImage();
        // Changed pixels lie around the middle, symmetric within a few pixels.
        int left = bar.width(), right = -1;
        for (int y = 0; y < withText.height(); ++y) {
            for (int x = 0; x < withText.width(); ++x) {
                if (withText.pixel(x, y) != empty.pixel(x, y)) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
            }
        }
        QVERIFY(right > left);
        QVERIFY2(qAbs((left + right) / 2 - bar.width() / 2) <= 3,
                 qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
    }

    void nanDrawsEmpty() {
        ProgressBarWidget bar;
        bar.setValue(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(bar.filledFraction(), 0.0);
    }

    void twipsFollowScreen() {
        const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
        QCOMPARE(twips::perPixelX(), 1440.0 / dpi);
        if (qFuzzyCompare(dpi, 96.0)) {
            QCOMPARE(twips::perPixelY(), 15.0);
            QCOMPARE(twips::toPixelX(2340), qint64(156));
            QCOMPARE(twips::toPixelX(22.5), qint64(1));  // 22.5 rounds to 22, then 22 \ 15
        }
    }
};

QTEST_MAIN(TestProgressBar)
#include "tst_progressbar.moc"
