// Each bound of imaging/limits.h, fed a generated file just past it: the input is refused
// (or cut at the bound) within a second and without allocating what it claims. Annotation
// payloads past their byte bound: tst_annotationstore; hostile files of every format:
// tst_imagingdecode (corpus) and tst_fuzzregression.

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>

#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/tiffpageedit.h"
#include "support/fixtures.h"
#include "support/rows.h"

using ktdv::test::addRow;
using ktdv::test::columns;
using ktdv::test::fetch;

using namespace ktdv::imaging;

namespace {

// Refusals come from headers; inputs that decode up to a bound get more time. Sanitizer
// builds run several times slower and keep freed memory in quarantine.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr qint64 kSlowdown = 5;
#else
constexpr qint64 kSlowdown = 1;
#endif
constexpr qint64 kMaxMilliseconds = 1000 * kSlowdown;
constexpr qint64 kMaxMillisecondsAtBound = 5000 * kSlowdown;
constexpr qint64 kMaxPeakGrowthKb = 128 * 1024 * kSlowdown;

// --- byte builders -----------------------------------------------------------------------

struct Tag {
    quint16 tag;
    quint16 type;  // 3 SHORT, 4 LONG, 7 UNDEFINED
    quint32 count;
    quint32 value;  // inline value or offset
};

void put16(QByteArray& b, int at, quint16 v) {
    qToLittleEndian<quint16>(v, b.data() + at);
}
void put32(QByteArray& b, int at, quint32 v) {
    qToLittleEndian<quint32>(v, b.data() + at);
}

// One directory at the end of `body` (which starts with the 8-byte header), linked from
// `linkAt`; returns the offset of its next-directory link.
int appendIfd(QByteArray& body, int linkAt, QList<Tag> tags) {
    std::sort(tags.begin(), tags.end(), [](const Tag& a, const Tag& b) { return a.tag < b.tag; });
    if (body.size() % 2)
        body.append('\0');
    const int ifd = int(body.size());
    put32(body, linkAt, quint32(ifd));
    body.append(QByteArray(2 + 12 * tags.size() + 4, '\0'));
    put16(body, ifd, quint16(tags.size()));
    for (int i = 0; i < tags.size(); ++i) {
        const int e = ifd + 2 + 12 * i;
        put16(body, e, tags[i].tag);
        put16(body, e + 2, tags[i].type);
        put32(body, e + 4, tags[i].count);
        if (tags[i].type == 3 && tags[i].count == 1)
            put16(body, e + 8, quint16(tags[i].value));
        else
            put32(body, e + 8, tags[i].value);
    }
    return ifd + 2 + 12 * int(tags.size());
}

// A page claiming width x height with one strip of dataSize bytes at dataAt.
QList<Tag> pageTags(quint32 width, quint32 height, int bits, int compression, quint32 dataAt,
                    quint32 dataSize) {
    return {{256, 4, 1, width},
            {257, 4, 1, height},
            {258, 3, 1, quint32(bits)},
            {259, 3, 1, quint32(compression)},
            {262, 3, 1, 0},
            {273, 4, 1, dataAt},
            {277, 3, 1, 1},
            {278, 4, 1, height},
            {279, 4, 1, dataSize}};
}

// `data` after the header, then `pages` directories of `tags`; the last one links back to
// the first when `loop`.
QByteArray tiff(const QList<Tag>& tags, const QByteArray& data, int pages = 1, bool loop = false) {
    QByteArray b = QByteArray("II*\0\0\0\0\0", 8) + data;
    int link = 4;
    for (int i = 0; i < pages; ++i)
        link = appendIfd(b, link, tags);
    if (loop)
        put32(b, link, qFromLittleEndian<quint32>(b.constData() + 4));
    return b;
}

QByteArray tiffClaiming(quint32 width, quint32 height, int bits, int compression,
                        const QByteArray& data) {
    return tiff(pageTags(width, height, bits, compression, 8, quint32(data.size())), data);
}

const QList<Tag> kSmallPage = pageTags(8, 8, 1, 1, 8, 8);

// Many strips all pointing at the whole file: each strip copy would take the file's size.
QByteArray tiffOverlappingStrips(quint32 strips) {
    const quint32 offsetsAt = 8, countsAt = 8 + 4 * strips;
    QByteArray data(int(strips) * 8, '\0');
    const quint32 fileSize = 8 + quint32(data.size()) + 2 + 12 * 9 + 4;
    for (quint32 i = 0; i < strips; ++i)
        put32(data, int(countsAt - 8 + 4 * i), fileSize);
    QList<Tag> tags = pageTags(8, strips, 8, 1, offsetsAt, countsAt);
    tags[5] = {273, 4, strips, offsetsAt};
    tags[7] = {278, 4, 1, 1};
    tags[8] = {279, 4, strips, countsAt};
    return tiff(tags, data);
}

// A T.4 1-D stream of white rows of 1728 pixels, each an EOL (000000000001), white make-up
// 1728 (010011011) and white 0 (00110101): 29 bits, so eight rows fill 29 bytes.
QByteArray endlessFaxRows(int rows) {
    QByteArray eightRows;
    quint64 acc = 0;
    for (int i = 0, bits = 0; i < 8; ++i) {
        acc = (acc << 29) | (quint64(1) << 17) | (0x9B << 8) | 0x35;
        for (bits += 29; bits >= 8; bits -= 8)
            eightRows.append(char((acc >> (bits - 8)) & 0xFF));
    }
    return eightRows.repeated(rows / 8);
}

qint64 peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

enum Operation { OpenAndDecode, PageCount, DeletePage, ReadTag, WriteTag, SaveAnnotations };

class LimitsTest : public QObject {
    Q_OBJECT

private slots:
    // One row per bound: an input just past it, the operation that meets it.
    void refusesPastBound_data() {
        columns<int, QByteArray, qint64>("operation", "input", "maxMs");
        using namespace ktdv::limits;
        addRow("page bytes: 60000 x 60000 grey", int(OpenAndDecode),
               tiffClaiming(60000, 60000, 8, 1, QByteArray(16, '\0')), kMaxMilliseconds);
        addRow("page dimension: width", int(OpenAndDecode),
               tiffClaiming(kMaxPageDimension + 1, 1, 1, 1, "\0"), kMaxMilliseconds);
        addRow("page dimension: fax rows without end", int(OpenAndDecode),
               endlessFaxRows(kMaxPageDimension + 5000), kMaxMillisecondsAtBound);
        addRow("pages", int(PageCount), tiff(kSmallPage, QByteArray(8, '\xFF'), kMaxPages + 1),
               kMaxMilliseconds);
        addRow("pages: directory loop", int(PageCount),
               tiff(kSmallPage, QByteArray(8, '\xFF'), 1, true), kMaxMilliseconds);
        addRow("tag bytes: read", int(ReadTag),
               tiff(kSmallPage + QList<Tag>{{kAnnotationTag, 7, 0x7FFFFFFF, 8}},
                    QByteArray(8, '\xFF')),
               kMaxMilliseconds);
        addRow("tag bytes: write", int(WriteTag), QByteArray(int(kMaxTagBytes) + 1, 'a'),
               kMaxMilliseconds);
        addRow("tag bytes: strips copied over and over", int(DeletePage),
               tiffOverlappingStrips(8192), kMaxMilliseconds);
        addRow("annotations per page", int(SaveAnnotations), QByteArray(), kMaxMilliseconds);
    }

    void refusesPastBound() {
        auto [operation, input, maxMs] =
            fetch<int, QByteArray, qint64>("operation", "input", "maxMs");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("input"));
        const QByteArray bytes = operation == WriteTag || operation == SaveAnnotations
                                     ? tiffClaiming(8, 8, 8, 1, QByteArray(64, '\x80'))
                                     : input;
        QVERIFY(!ktdv::test::writeBytes(path, bytes).isEmpty());

        const qint64 peakBefore = peakKb();
        QElapsedTimer timer;
        timer.start();
        switch (Operation(operation)) {
            case OpenAndDecode:
                if (const auto doc = Document::open(path)) {
                    for (int i = 0; i < doc->pageCount(); ++i) {
                        const DecodedPage decoded = doc->decodePage(i);
                        if (doc->format() == FileFormat::RawFaxG3)
                            QVERIFY(decoded.image.height() <= ktdv::limits::kMaxPageDimension);
                        else
                            QVERIFY2(!decoded.ok(), "a page past the limits was decoded");
                    }
                }
                break;
            case PageCount: {
                const auto doc = Document::open(path);
                QVERIFY(doc);
                QVERIFY(doc->pageCount() <= ktdv::limits::kMaxPages);
                doc->decodePage(doc->pageCount() - 1);
                break;
            }
            case DeletePage:
                deletePage(path, 0);
                break;
            case ReadTag: {
                TagRead how = TagRead::Read;
                QVERIFY(readPageTag(path, 0, kAnnotationTag, &how).isEmpty());
                QCOMPARE(int(how), int(TagRead::TooLarge));
                break;
            }
            case WriteTag:
                QVERIFY(!writePageTag(path, 0, kAnnotationTag, input).ok);
                break;
            case SaveAnnotations: {
                const QList<Annotation> many(
                    ktdv::limits::kMaxAnnotationsPerPage + 1,
                    Annotation::make(Annotation::Highlight, QRectF(0, 0, 4, 4)));
                QVERIFY(!AnnotationStore::save(path, 0, many).ok);
                break;
            }
        }
        const qint64 elapsed = timer.elapsed();
        QVERIFY2(elapsed < maxMs, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
        const qint64 grown = peakKb() - peakBefore;
        QVERIFY2(grown < kMaxPeakGrowthKb, qPrintable(QStringLiteral("%1 KB more").arg(grown)));
    }
};

}  // namespace

QTEST_MAIN(LimitsTest)
#include "tst_limits.moc"
