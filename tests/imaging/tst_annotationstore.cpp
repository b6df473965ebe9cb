// Annotations kept in a page's own TIFF directory: round trips through real files, hostile
// payloads, tags that must not be overwritten (pages that move or go keep their tags:
// tst_imagingedit).
#include <zlib.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "imaging/limits.h"
#include "imaging/tiffpageedit.h"
#include "support/fixtures.h"
#include "support/rows.h"

using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv::imaging;
using Annotations = QList<Annotation>;

namespace {

Annotation sample(Annotation::Kind kind, qreal x) {
    Annotation a = Annotation::make(kind, QRectF(x, 40.5, 120.25, 60));
    a.text = QStringLiteral("Ünïcode \"quoted\"\nsecond line %1").arg(x);
    return a;
}

const Annotations& allKinds() {
    static const Annotations all = [] {
        Annotation text = sample(Annotation::Text, 300);
        text.fillColor = Annotation::kNoColor;
        text.textTurns = 3;
        text.textMirrored = true;
        text.fontPointSize = 9;
        Annotation stamp =
            Annotation::stampAt({500, 700}, QStringLiteral("Approved 05/Dec/2026"), 18, {150, 150});
        stamp.extra.insert(QStringLiteral("reviewer"), QStringLiteral("kept as it came"));
        return Annotations{sample(Annotation::FilledRect, 10), sample(Annotation::HollowRect, 20),
                           sample(Annotation::Highlight, 30), text, stamp};
    }();
    return all;
}

// A payload with the documented header around any body (CRC-32 as zlib computes it).
QByteArray framed(const QByteArray& body, quint16 version = 1, quint16 minReader = 1) {
    QByteArray out("KTDVANNO", 8);
    out.resize(20);
    auto* p = reinterpret_cast<uchar*>(out.data());
    qToLittleEndian<quint16>(version, p + 8);
    qToLittleEndian<quint16>(minReader, p + 10);
    qToLittleEndian<quint32>(quint32(body.size()), p + 12);
    qToLittleEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
        p + 16);
    return out + body;
}

// A newer writer's payload this version can still read.
QByteArray newerPayload() {
    return framed(R"({"annotations":[{"kind":"arrow","from":[1,2]},
        {"kind":"hollowRect","rect":[5,6,7,8],"border":"#00ff00","opacity":0.5}],
        "pageSizeHint":[100,200]})",
                  7, 1);
}

}  // namespace

class TestAnnotationStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString threePages() {
        static int n = 0;
        return ktdv::test::writeTiff(m_dir.filePath(QStringLiteral("doc%1.tif").arg(++n)), 3);
    }

private slots:
    void roundTripThroughFile_data() {
        QTest::addColumn<Annotations>("list");
        QTest::newRow("every kind, order kept") << allKinds();
        QTest::newRow("many") << Annotations(500, allKinds()[1]);
    }
    void roundTripThroughFile() {
        QFETCH(Annotations, list);
        const QString path = threePages();
        const QStringList before = ktdv::test::pageSnapshots(path);
        QVERIFY(AnnotationStore::save(path, 1, list).ok);

        const AnnotationLoadResult back = AnnotationStore::load(path, 1);
        QCOMPARE(back.status, AnnotationStatus::Loaded);
        QCOMPARE(back.annotations, list);
        QCOMPARE(AnnotationStore::load(path, 0).status, AnnotationStatus::Absent);
        // Removing them all leaves the file as libtiff read it before (other pages' tags
        // survive a tag edit: tst_imagingedit).
        QVERIFY(AnnotationStore::save(path, 1, {}).ok);
        QCOMPARE(AnnotationStore::load(path, 1).status, AnnotationStatus::Absent);
        QCOMPARE(ktdv::test::pageSnapshots(path), before);
    }

    void hostilePayloadsLoadAsSkipped_data() {
        columns<QByteArray, AnnotationStatus, int, int>("payload", "status", "loaded", "skipped");
        const QByteArray good = encodeAnnotations(allKinds());
        QByteArray flipped = good;
        flipped[flipped.size() - 3] = char(flipped[flipped.size() - 3] ^ 0x20);
        QByteArray longer = good;
        qToLittleEndian<quint32>(quint32(good.size()), longer.data() + 12);
        const QByteArray many =
            framed("{\"annotations\":[" +
                   QByteArray("{},").repeated(ktdv::limits::kMaxAnnotationsPerPage) + "{}]}");
        const QByteArray deep = framed(QByteArray(100000, '[') + QByteArray(100000, ']'));

        using S = AnnotationStatus;
        QTest::newRow("no tag") << QByteArray() << S::Absent << 0 << 0;
        QTest::newRow("well formed") << good << S::Loaded << 5 << 0;
        QTest::newRow("someone else's tag")
            << QByteArray("II*\0 other", 10) << S::Foreign << 0 << 0;
        QTest::newRow("header cut") << good.left(15) << S::Damaged << 0 << 0;
        QTest::newRow("body cut") << good.chopped(7) << S::Damaged << 0 << 0;
        QTest::newRow("length too big") << longer << S::Damaged << 0 << 0;
        QTest::newRow("flipped bit") << flipped << S::Damaged << 0 << 0;
        QTest::newRow("future reader version") << framed("{}", 2, 2) << S::FutureVersion << 0 << 0;
        QTest::newRow("newer but readable") << newerPayload() << S::Loaded << 1 << 1;
        QTest::newRow("not json") << framed("{\"annotations\":[") << S::Damaged << 0 << 0;
        QTest::newRow("list is a string")
            << framed("{\"annotations\":\"x\"}") << S::Damaged << 0 << 0;
        QTest::newRow("nested beyond reason") << deep << S::Damaged << 0 << 0;
        QTest::newRow("too many entries") << many << S::TooLarge << 0 << 0;
        QTest::newRow("too many bytes")
            << framed(QByteArray(ktdv::limits::kMaxAnnotationBytes, ' ')) << S::TooLarge << 0 << 0;
        QTest::newRow("bad entries skipped")
            << framed(R"({"annotations":[1,{"kind":"stamp"},{"kind":"text","rect":[0,0,-5,5]},
                {"kind":"text","rect":[0,0,1e300,5]},{"kind":"text","rect":[0,0,"9",5]},
                {"kind":"text","rect":[1,2,3,4],"fill":"red","fontSize":-4,"textTurns":9}]})")
            << S::Loaded << 1 << 5;
    }
    void hostilePayloadsLoadAsSkipped() {
        QFETCH(QByteArray, payload);
        QFETCH(AnnotationStatus, status);
        const AnnotationLoadResult r = decodeAnnotations(payload);
        QCOMPARE(r.status, status);
        QFETCH(int, loaded);
        QFETCH(int, skipped);
        QCOMPARE(r.annotations.size(), qsizetype(loaded));
        QCOMPARE(r.skipped, skipped);
        QCOMPARE(r.error.isEmpty(), r.ok());
    }

    void unreadableTagsAreNeverOverwritten_data() {
        columns<QByteArray, bool, bool>("stored", "replaceDamaged", "saved");
        const QByteArray damaged = encodeAnnotations(allKinds()).chopped(1);
        QTest::newRow("future version") << framed("{}", 3, 2) << true << false;
        QTest::newRow("someone else's") << QByteArray("private data") << true << false;
        QTest::newRow("damaged") << damaged << false << false;
        QTest::newRow("damaged, replace asked") << damaged << true << true;
        QTest::newRow("too large")
            << framed(QByteArray(ktdv::limits::kMaxAnnotationBytes, ' ')) << true << false;
    }
    void unreadableTagsAreNeverOverwritten() {
        auto [stored, replaceDamaged, saved] =
            fetch<QByteArray, bool, bool>("stored", "replaceDamaged", "saved");
        const QString path = threePages();
        QVERIFY(writePageTag(path, 1, kAnnotationTag, stored).ok);
        const QByteArray before = ktdv::test::readAll(path);
        const WriteResult r = AnnotationStore::save(path, 1, allKinds(), {replaceDamaged});
        QCOMPARE(r.ok, saved);
        if (saved) {
            QCOMPARE(AnnotationStore::load(path, 1).annotations, allKinds());
        } else {
            QVERIFY(!r.error.isEmpty());
            QCOMPARE(ktdv::test::readAll(path), before);
        }
    }

    void newerFieldsSurviveRewrite() {
        const QString path = threePages();
        QVERIFY(writePageTag(path, 0, kAnnotationTag, newerPayload()).ok);
        Annotations list = AnnotationStore::load(path, 0).annotations;
        QCOMPARE(list.size(), 1);
        list.append(allKinds().constFirst());
        QVERIFY(AnnotationStore::save(path, 0, list).ok);

        // What this version does not know is written back as it came.
        const QByteArray tag = readPageTag(path, 0, kAnnotationTag);
        for (const char* kept : {"\"pageSizeHint\":[100,200]", "\"arrow\"", "\"opacity\":0.5"})
            QVERIFY2(tag.contains(kept), kept);
        QCOMPARE(AnnotationStore::load(path, 0).annotations, list);
    }
};

QTEST_MAIN(TestAnnotationStore)
#include "tst_annotationstore.moc"
