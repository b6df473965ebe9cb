// Lossless page edits and safe writes: every page that is not edited keeps its data and
// tags byte for byte, refused edits leave the file as it was, read-only files are never
// touched (failures at each write step: tests/hardening). Also the shared page cache:
// bounded by bytes, least recently used out first.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTransform>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

#include "imaging/document.h"
#include "imaging/pagecache.h"
#include "imaging/safefilewriter.h"
#include "imaging/tiffpageedit.h"
#include "imaging/tiffstructure.h"
#include "imagingtestutil.h"
#include "support/fixtures.h"
#include "support/rows.h"

using namespace ktdv::imaging;
using namespace ktdv::test;

namespace {

constexpr quint16 kPageNumber = 297;
constexpr quint16 kPrivateTag = 65100;

// A mix of pages as a scanner archive holds them.
QList<TiffPage> mixedPages(int count) {
    struct Kind {
        PageKind kind;
        int compression;
        bool tiled;
    };
    const Kind kinds[] = {{PageKind::Bilevel, G4, false}, {PageKind::Gray8, Lzw, false},
                          {PageKind::Rgb8, Jpeg, false},  {PageKind::Palette8, None, false},
                          {PageKind::Bilevel, G3, false}, {PageKind::Gray8, Deflate, true}};
    QList<TiffPage> pages;
    for (int i = 0; i < count; ++i) {
        TiffPage p;
        p.size = QSize(240, 160);
        p.kind = kinds[i % 6].kind;
        p.compression = kinds[i % 6].compression;
        p.tiled = kinds[i % 6].tiled;
        p.g3TwoD = true;
        if (i % 6 == 0)
            p.asciiTags = {{270, QStringLiteral("page %1 of a fax").arg(i + 1)}};
        if (i % 6 == 4)
            p.dpi = QSizeF(204, 98);
        pages.append(p);
    }
    return pages;
}

// Runs "delete <page>", "move <from> <to>", "replace <page>" or "tag <page> [<tag>]".
WriteResult runEdit(const QString& file, const QString& edit, const QImage& replacement) {
    const QStringList args = edit.split(QLatin1Char(' '));
    const int a = args.value(1).toInt(), b = args.value(2).toInt();
    if (args[0] == QLatin1String("delete"))
        return deletePage(file, a);
    if (args[0] == QLatin1String("move"))
        return movePage(file, a, b);
    if (args[0] == QLatin1String("replace"))
        return replacePageImage(file, a, replacement, false);
    return writePageTag(file, a, args.size() > 2 ? quint16(b) : kPrivateTag, "x");
}

tiff::File structureOf(const QString& path) {
    tiff::File file;
    QString error;
    if (!tiff::read(readAll(path), &file, &error))
        qWarning("%s", qPrintable(error));
    return file;
}

tiff::Ifd without(tiff::Ifd ifd, quint16 tag) {
    ifd.remove(tag);
    return ifd;
}

QString copyOf(const QString& source, const QString& target) {
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

QImage cachedPage(int kilobytes) {
    QImage image(256, kilobytes * 4, QImage::Format_Grayscale8);  // 1 KB per 4 rows
    image.fill(0);
    return image;
}

PageKey cacheKey(int page, const QString& path = QStringLiteral("/docs/a.tif")) {
    return PageKey{path, 1000, 42, page};
}

QImage decoded(const QString& path, int page) {
    const auto doc = Document::open(path);
    return doc ? doc->decodePage(page).image : QImage();
}

}  // namespace

class TestImagingEdit : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void deleteAndMoveKeepPages_data() {
        // mode: libtiff's ("w8" BigTIFF, "b" big-endian); from: page deleted or moved; to: -1:
        // delete
        columns<QString, int, int, int>("mode", "pages", "from", "to");
        QTest::newRow("3 pages, delete first") << "w" << 3 << 0 << -1;
        QTest::newRow("3 pages, move last to first") << "w" << 3 << 2 << 0;
        QTest::newRow("51 pages, delete middle") << "w" << 51 << 25 << -1;
        QTest::newRow("51 pages, move forward") << "w" << 51 << 3 << 40;
        QTest::newRow("BigTIFF, move first to last") << "w8" << 3 << 0 << 2;
        QTest::newRow("big-endian BigTIFF, delete middle") << "w8b" << 3 << 1 << -1;
    }
    void deleteAndMoveKeepPages() {
        auto [mode, pages, from, to] = fetch<QString, int, int, int>("mode", "pages", "from", "to");
        const QString file =
            writeTiff(path(QStringLiteral("mixed.tif")), mixedPages(pages), qPrintable(mode));
        QVERIFY(!file.isEmpty());
        const tiff::File before = structureOf(file);
        QCOMPARE(int(before.pages.size()), pages);
        QList<int> order;  // original index of each page after the edit
        for (int i = 0; i < pages; ++i)
            order.append(i);
        const WriteResult r = to < 0 ? deletePage(file, from) : movePage(file, from, to);
        QVERIFY2(r.ok, qPrintable(r.error));
        if (to < 0) {
            order.removeAt(from);
        } else {
            order.move(from, to);
        }
        const tiff::File after = structureOf(file);
        QCOMPARE(after.bigEndian, before.bigEndian);
        QCOMPARE(after.bigTiff, before.bigTiff);
        QCOMPARE(int(after.pages.size()), order.size());
        for (int i = 0; i < order.size(); ++i) {
            const tiff::Ifd& now = after.pages[size_t(i)];
            QVERIFY2(tiff::sameContent(without(now, kPageNumber),
                                       without(before.pages[size_t(order[i])], kPageNumber)),
                     qPrintable(QStringLiteral("page %1").arg(i)));
            QCOMPARE(now.number(kPageNumber, after.bigEndian, 0), quint64(i));
            QCOMPARE(now.number(kPageNumber, after.bigEndian, 1), quint64(order.size()));
        }
        QCOMPARE(tiffinfoComplaints(file), QStringList());
    }

    void corpusStructuresSurviveRewrite_data() {
        QTest::addColumn<QString>("file");
        for (const char* f :
             {"libtiff__custom_dir_EXIF_GPS.tiff", "libtiff__tiff_with_subifd_chain.tif",
              "libtiff__ojpeg_chewey_subsamp21_multi_strip.tiff",
              "pillow__old-style-jpeg-compression.tif", "pillow__16bit.MM.deflate.tif",
              "libtiff__quad-tile.jpg.tiff", "pillow__g4-multi.tiff",
              "pillow__tiff_tiled_planar_lzw.tiff", "pillow__no_rows_per_strip.tif"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void corpusStructuresSurviveRewrite() {
        QFETCH(QString, file);
        KTDV_REQUIRE_CORPUS();
        const QString copy = copyOf(corpusFile(QStringLiteral("good/") + file), path(file));
        const tiff::File before = structureOf(copy);
        QVERIFY2(!before.pages.empty(), qPrintable(copy));
        QList<QImage> pixels;
        for (int i = 0; i < int(before.pages.size()); ++i)
            pixels.append(decoded(copy, i));

        QVERIFY(writePageTag(copy, 0, kPrivateTag, "note").ok);
        const tiff::File tagged = structureOf(copy);
        QCOMPARE(readPageTag(copy, 0, kPrivateTag), QByteArray("note"));
        QVERIFY(writePageTag(copy, 0, kPrivateTag, {}).ok);
        const tiff::File after = structureOf(copy);
        QCOMPARE(after.pages.size(), before.pages.size());
        QCOMPARE(after.bigEndian, before.bigEndian);
        for (size_t i = 0; i < before.pages.size(); ++i) {
            QVERIFY(tiff::sameContent(after.pages[i], before.pages[i]));
            QVERIFY(tiff::sameContent(without(tagged.pages[i], kPrivateTag), before.pages[i]));
            QVERIFY(samePixels(decoded(copy, int(i)), pixels[int(i)]));
        }
    }

    void refusedEditsLeaveFile_data() {
        columns<QString, bool, int>("edit", "readOnly", "pages");
        QTest::newRow("delete, read-only") << "delete 0" << true << 3;
        QTest::newRow("move, read-only") << "move 0 1" << true << 3;
        QTest::newRow("replace, read-only") << "replace 0" << true << 3;
        QTest::newRow("tag, read-only") << "tag 0" << true << 3;
        QTest::newRow("delete the only page") << "delete 0" << false << 1;
        QTest::newRow("delete past the end") << "delete 3" << false << 3;
        QTest::newRow("tag that holds offsets") << "tag 0 273" << false << 3;
    }
    void refusedEditsLeaveFile() {
        auto [edit, readOnly, pages] = fetch<QString, bool, int>("edit", "readOnly", "pages");
        TiffPage shape;
        shape.size = QSize(200, 100);
        const QString file = writeTiff(path(QStringLiteral("keep.tif")), pages, shape);
        if (readOnly)
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
        const QByteArray original = readAll(file);
        const WriteResult r = runEdit(file, edit, renderPage(shape, 1));
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(readAll(file), original);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void safeWriterKeepsPermissions() {
        const QString file = path(QStringLiteral("perm.bin"));
        QVERIFY(writeFileSafely(file, [](QIODevice& d) { return d.write("one") == 3; }).ok);
        QCOMPARE(readAll(file), QByteArray("one"));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), 0640) == 0);
        QVERIFY(writeFileSafely(file, [](QIODevice& d) { return d.write("two") == 3; }).ok);
        struct stat st;
        QVERIFY(::stat(QFile::encodeName(file).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);
        QCOMPARE(readAll(file), QByteArray("two"));
        // A writer that gives up changes nothing and leaves nothing behind.
        QVERIFY(!writeFileSafely(file, [](QIODevice& d) { return d.write("three") < 0; }).ok);
        QVERIFY(!writeFileSafelyViaPath(file, [](const QString&) { return false; }).ok);
        QCOMPARE(readAll(file), QByteArray("two"));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        // Through a link: the linked file changes, the link stays a link.
        const QString link = path(QStringLiteral("link.bin"));
        QVERIFY(QFile::link(file, link));
        QVERIFY(writeFileSafely(link, [](QIODevice& d) { return d.write("four") == 4; }).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(file), QByteArray("four"));
    }

    void replaceTurnedPage_data() {
        columns<int, int, bool>("kind", "compression", "exact");
        QTest::newRow("G4") << int(PageKind::Bilevel) << int(G4) << true;
        QTest::newRow("G3") << int(PageKind::Bilevel) << int(G3) << true;
        QTest::newRow("grey LZW") << int(PageKind::Gray8) << int(Lzw) << true;
        QTest::newRow("palette PackBits") << int(PageKind::Palette8) << int(PackBits) << true;
        QTest::newRow("colour JPEG") << int(PageKind::Rgb8) << int(Jpeg) << false;
    }
    void replaceTurnedPage() {
        auto [kind, compression, exact] = fetch<int, int, bool>("kind", "compression", "exact");
        TiffPage shape;
        shape.size = QSize(300, 200);
        shape.dpi = QSizeF(200, 100);
        shape.kind = PageKind(kind);
        shape.compression = compression;
        shape.asciiTags = {{270, QStringLiteral("keep this description")}};
        const QString file = writeTiff(path(QStringLiteral("turn.tif")), 3, shape);
        QVERIFY(writePageTag(file, 1, kPrivateTag, "annotations").ok);
        const tiff::File before = structureOf(file);
        const QImage page = decoded(file, 1);
        const QImage turned = page.transformed(QTransform().rotate(90));
        QCOMPARE(turned.format(), page.format());
        const WriteResult r = replacePageImage(file, 1, turned, true);
        QVERIFY2(r.ok, qPrintable(r.error));

        const auto doc = Document::open(file);
        QVERIFY(doc);
        QCOMPARE(doc->pageCount(), 3);
        QCOMPARE(doc->page(1).pixelSize, QSize(200, 300));
        QCOMPARE(doc->page(1).dpi, QSizeF(100, 200));
        QCOMPARE(doc->page(1).compression, compression);
        const QImage back = doc->decodePage(1).image;
        if (exact)
            QVERIFY(samePixels(back, turned));
        else
            QVERIFY(qAbs(blackRatio(back) - blackRatio(turned)) < 0.02);
        const tiff::File after = structureOf(file);
        QVERIFY(tiff::sameContent(after.pages[0], before.pages[0]));
        QVERIFY(tiff::sameContent(after.pages[2], before.pages[2]));
        QCOMPARE(readPageTag(file, 1, 270), readPageTag(file, 0, 270).replace("1", "2"));
        QCOMPARE(readPageTag(file, 1, kPrivateTag), QByteArray("annotations"));
        QCOMPARE(after.pages[1].number(kPageNumber, after.bigEndian, 0), quint64(1));
    }

    void cacheEviction_data() {
        // script: >= 0: insert page n (10 KB); -1 - n: find page n
        columns<QList<int>, QList<int>, QList<int>>("script", "kept", "gone");
        // Capacity 30 KB: three pages.
        QTest::newRow("oldest out first")
            << QList<int>{0, 1, 2, 3} << QList<int>{1, 2, 3} << QList<int>{0};
        QTest::newRow("a find keeps a page")
            << QList<int>{0, 1, 2, -1, 3} << QList<int>{0, 2, 3} << QList<int>{1};
        QTest::newRow("reinserting does not double count")
            << QList<int>{0, 0, 0, 1, 2} << QList<int>{0, 1, 2} << QList<int>{};
    }
    void cacheEviction() {
        auto [script, kept, gone] =
            fetch<QList<int>, QList<int>, QList<int>>("script", "kept", "gone");
        PageCache cache(30 * 1024);
        for (int step : script) {
            if (step >= 0)
                cache.insert(cacheKey(step), cachedPage(10));
            else
                cache.find(cacheKey(-1 - step));
        }
        for (int p : kept)
            QVERIFY2(cache.find(cacheKey(p)).has_value(), qPrintable(QString::number(p)));
        for (int p : gone)
            QVERIFY(!cache.find(cacheKey(p)).has_value());
        QCOMPARE(cache.bytesUsed(), qint64(kept.size()) * 10 * 1024);
    }
};

QTEST_MAIN(TestImagingEdit)
#include "tst_imagingedit.moc"
