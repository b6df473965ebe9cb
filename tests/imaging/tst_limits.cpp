// Each bound of imaging/limits.h, fed a generated file just past it: the input is refused
// (or cut at the bound) within a second and without allocating what it claims. Annotation
// payloads past their bounds: tst_annotationstore.

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/resource.h>

#include "imaging/annotationstore.h"
#include "imaging/ccittdecoder.h"
#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/tiffpageedit.h"
#include "support/fixtures.h"
#include "support/rows.h"

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

QByteArray bmpClaiming(qint32 width, qint32 height, int bits) {
    QByteArray b(54 + 64, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, quint32(b.size()));
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, quint32(width));
    put32(b, 22, quint32(height));
    put16(b, 26, 1);
    put16(b, 28, quint16(bits));
    return b;
}

QByteArray gifClaiming(quint16 width, quint16 height) {
    QByteArray b("GIF89a", 6);
    b.append(QByteArray(7, '\0'));
    put16(b, 6, width);
    put16(b, 8, height);
    b[10] = char(0x80);  // global colour table of two entries
    b.append(QByteArray("\0\0\0\xFF\xFF\xFF", 6));
    b.append(',');
    b.append(QByteArray(9, '\0'));
    put16(b, int(b.size()) - 5, width);
    put16(b, int(b.size()) - 3, height);
    b.append(QByteArray("\x02\x02\x4C\x01\x00;", 6));
    return b;
}

// A real JPEG whose frame header is changed to claim width x height.
QByteArray jpegClaiming(quint16 width, quint16 height) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    QByteArray b = buffer.data();
    const int sof = int(b.indexOf("\xFF\xC0"));
    if (sof < 0)
        return {};
    qToBigEndian<quint16>(height, b.data() + sof + 5);
    qToBigEndian<quint16>(width, b.data() + sof + 7);
    return b;
}

// A T.4 1-D stream of `rows` white rows of 1728 pixels, each behind an EOL.
QByteArray endlessFaxRows(int rows) {
    // EOL (000000000001), white make-up 1728 (010011011), white 0 (00110101): 29 bits.
    QByteArray out;
    quint64 acc = 0;
    int bits = 0;
    auto push = [&](quint32 code, int length) {
        acc = (acc << length) | code;
        bits += length;
        while (bits >= 8) {
            out.append(char((acc >> (bits - 8)) & 0xFF));
            bits -= 8;
        }
    };
    for (int i = 0; i < rows; ++i) {
        push(1, 12);
        push(0x9B, 9);
        push(0x35, 8);
    }
    if (bits > 0)
        out.append(char((acc << (8 - bits)) & 0xFF));
    return out;
}

qint64 peakKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

enum Operation {
    OpenAndDecode,
    PageCount,
    FaxDecode,
    DeletePage,
    ReadTag,
    WriteTag,
    SaveAnnotations
};

class LimitsTest : public QObject {
    Q_OBJECT

private slots:
    void refusesPastBound_data() {
        columns<int, QByteArray, qint64>("operation", "input", "maxMs");
        using namespace ktdv::limits;
        QTest::newRow("tiff pixels over page bytes")
            << int(OpenAndDecode) << tiffClaiming(60000, 60000, 8, 1, QByteArray(16, '\0'))
            << kMaxMilliseconds;
        QTest::newRow("tiff width over dimension")
            << int(OpenAndDecode) << tiffClaiming(kMaxPageDimension + 1, 1, 1, 1, "\0")
            << kMaxMilliseconds;
        QTest::newRow("tiff g4 claiming 100000 x 100000")
            << int(OpenAndDecode) << tiffClaiming(100000, 100000, 1, 4, QByteArray(64, '\xFF'))
            << kMaxMilliseconds;
        const QList<Tag> hugeTiles{{256, 4, 1, 64},       {257, 4, 1, 64}, {258, 3, 1, 8},
                                   {259, 3, 1, 1},        {262, 3, 1, 1},  {322, 4, 1, 1u << 20},
                                   {323, 4, 1, 1u << 20}, {324, 4, 1, 8},  {325, 4, 1, 64}};
        QTest::newRow("tiff tile over dimension")
            << int(OpenAndDecode) << tiff(hugeTiles, QByteArray(64, '\0')) << kMaxMilliseconds;
        QTest::newRow("bmp 1-bit 100000 x -100000")
            << int(OpenAndDecode) << bmpClaiming(100000, -100000, 1) << kMaxMilliseconds;
        QTest::newRow("gif 65535 x 65535")
            << int(OpenAndDecode) << gifClaiming(65535, 65535) << kMaxMilliseconds;
        QTest::newRow("jpeg 65500 x 65500")
            << int(OpenAndDecode) << jpegClaiming(65500, 65500) << kMaxMilliseconds;
        QTest::newRow("tiff pages over bound")
            << int(PageCount) << tiff(kSmallPage, QByteArray(8, '\xFF'), kMaxPages + 1)
            << kMaxMilliseconds;
        QTest::newRow("tiff directory loop")
            << int(PageCount) << tiff(kSmallPage, QByteArray(8, '\xFF'), 1, true)
            << kMaxMilliseconds;
        QTest::newRow("raw fax rows without end")
            << int(OpenAndDecode) << endlessFaxRows(kMaxPageDimension + 5000)
            << kMaxMillisecondsAtBound;
        QTest::newRow("g4 rows without end")
            << int(FaxDecode) << QByteArray(1 << 20, '\xFF') << kMaxMillisecondsAtBound;
        QTest::newRow("strips copied over and over")
            << int(DeletePage) << tiffOverlappingStrips(8192) << kMaxMilliseconds;
        QTest::newRow("tag count over tag bound")
            << int(ReadTag)
            << tiff(kSmallPage + QList<Tag>{{kAnnotationTag, 7, 0x7FFFFFFF, 8}},
                    QByteArray(8, '\xFF'))
            << kMaxMilliseconds;
        QTest::newRow("tag value over tag bound")
            << int(WriteTag) << QByteArray(int(kMaxTagBytes) + 1, 'a') << kMaxMilliseconds;
        QTest::newRow("annotation save over bound")
            << int(SaveAnnotations) << QByteArray() << kMaxMilliseconds;
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
            case FaxDecode: {
                ccitt::Params params;
                params.coding = ccitt::Coding::G4;
                const QImage image = ccitt::decodePage(input, params, INT_MAX);
                QVERIFY(image.height() <= ktdv::limits::kMaxPageDimension);
                break;
            }
            case DeletePage:
                deletePage(path, 0);
                break;
            case ReadTag: {
                TagRead how = TagRead::Read;
                QVERIFY(readPageTag(path, 0, kAnnotationTag, &how).isEmpty());
                QCOMPARE(int(how), int(TagRead::TooLarge));
                // What is stored but cannot be read is never replaced by a save.
                QCOMPARE(int(AnnotationStore::load(path, 0).status),
                         int(AnnotationStatus::TooLarge));
                QVERIFY(!AnnotationStore::save(
                             path, 0, {Annotation::make(Annotation::Highlight, QRectF(0, 0, 4, 4))})
                             .ok);
                QCOMPARE(ktdv::test::readAll(path), input);
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
