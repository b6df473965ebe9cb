// The shared page cache: bounded by bytes, least recently used first out.

#include <QtTest>

#include "imaging/pagecache.h"

using namespace ktdv::imaging;

namespace {

QImage pageOf(int kilobytes) {
    QImage image(256, kilobytes * 4, QImage::Format_Grayscale8);  // 1 KB per 4 rows
    image.fill(0);
    return image;
}

PageKey key(int page, const QString& path = QStringLiteral("/docs/a.tif")) {
    return PageKey{path, 1000, 42, page};
}

}  // namespace

class TestPageCache : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eviction_data();
    void eviction();
    void keyIncludesFileVersion();
    void removeFileDropsOnlyThatFile();
};

void TestPageCache::eviction_data() {
    QTest::addColumn<QList<int>>("script");  // >= 0: insert page n (10 KB); -1 - n: find page n
    QTest::addColumn<QList<int>>("kept");
    QTest::addColumn<QList<int>>("gone");
    // Capacity 30 KB: three pages.
    QTest::newRow("oldest out first")
        << QList<int>{0, 1, 2, 3} << QList<int>{1, 2, 3} << QList<int>{0};
    QTest::newRow("a find keeps a page")
        << QList<int>{0, 1, 2, -1, 3} << QList<int>{0, 2, 3} << QList<int>{1};
    QTest::newRow("reinserting does not double count")
        << QList<int>{0, 0, 0, 1, 2} << QList<int>{0, 1, 2} << QList<int>{};
}

void TestPageCache::eviction() {
    QFETCH(QList<int>, script);
    QFETCH(QList<int>, kept);
    QFETCH(QList<int>, gone);
    PageCache cache(30 * 1024);
    for (int step : script) {
        if (step >= 0)
            cache.insert(key(step), pageOf(10));
        else
            cache.find(key(-1 - step));
    }
    for (int p : kept)
        QVERIFY2(cache.find(key(p)).has_value(), qPrintable(QString::number(p)));
    for (int p : gone)
        QVERIFY(!cache.find(key(p)).has_value());
    QVERIFY(cache.bytesUsed() <= 30 * 1024);
    QCOMPARE(cache.bytesUsed(), qint64(kept.size()) * 10 * 1024);
}

void TestPageCache::keyIncludesFileVersion() {
    PageCache cache(1 << 20);
    cache.insert(key(0), pageOf(1));
    PageKey changed = key(0);
    changed.modifiedMs += 1;
    QVERIFY(!cache.find(changed).has_value());
    QVERIFY(cache.find(key(0)).has_value());
    cache.insert(key(1), pageOf(2000));  // larger than the whole cache: not kept
    QVERIFY(!cache.find(key(1)).has_value());
    QVERIFY(cache.find(key(0)).has_value());
}

void TestPageCache::removeFileDropsOnlyThatFile() {
    PageCache cache(1 << 20);
    cache.insert(key(0), pageOf(1));
    cache.insert(key(1), pageOf(1));
    cache.insert(key(0, QStringLiteral("/docs/b.tif")), pageOf(1));
    cache.removeFile(QStringLiteral("/docs/a.tif"));
    QVERIFY(!cache.find(key(0)).has_value());
    QVERIFY(!cache.find(key(1)).has_value());
    QVERIFY(cache.find(key(0, QStringLiteral("/docs/b.tif"))).has_value());
    QCOMPARE(cache.bytesUsed(), qint64(1024));
    cache.clear();
    QCOMPARE(cache.bytesUsed(), qint64(0));
}

QTEST_GUILESS_MAIN(TestPageCache)
#include "tst_pagecache.moc"
