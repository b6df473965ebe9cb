// Lossless page edits and safe writes: every page that is not edited keeps its data and
// tags byte for byte, a failure at any step leaves the file as it was, read-only files
// are never touched.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTransform>
#include <QtTest>

#include <sys/stat.h>
#include <tiffio.h>

#include "imaging/document.h"
#include "imaging/safefilewriter.h"
#include "imaging/tiffpageedit.h"
#include "imaging/tiffstructure.h"
#include "imaging/tiffwriter.h"
#include "imagingtestutil.h"
#include "support/fixtures.h"

using namespace ktdv::imaging;
using namespace ktdv::test;

namespace {

constexpr quint16 kPageNumber = 297;
constexpr quint16 kPrivateTag = 65100;

// A mix of pages as a scanner archive holds them.
QList<TiffPage> mixedPages(int count) {
    QList<TiffPage> pages;
    for (int i = 0; i < count; ++i) {
        TiffPage p;
        p.size = QSize(240, 160);
        switch (i % 6) {
            case 0:
                p.compression = G4;
                p.asciiTags = {{270, QStringLiteral("page %1 of a fax").arg(i + 1)}};
                break;
            case 1:
                p.kind = PageKind::Gray8;
                p.compression = Lzw;
                break;
            case 2:
                p.kind = PageKind::Rgb8;
                p.compression = Jpeg;
                break;
            case 3:
                p.kind = PageKind::Palette8;
                p.compression = None;
                break;
            case 4:
                p.compression = G3;
                p.g3TwoD = true;
                p.dpi = QSizeF(204, 98);
                break;
            default:
                p.kind = PageKind::Gray8;
                p.compression = Deflate;
                p.tiled = true;
        }
        pages.append(p);
    }
    return pages;
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

// tiffinfo reads every directory and strip of the file without a word on stderr.
bool tiffinfoAccepts(const QString& path, QString* complaint) {
    QProcess p;
    p.start(QStringLiteral("tiffinfo"), {QStringLiteral("-D"), path});
    if (!p.waitForFinished(30000)) {
        *complaint = QStringLiteral("tiffinfo did not finish");
        return false;
    }
    *complaint = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode() == 0 && complaint->trimmed().isEmpty();
}

QString copyOf(const QString& source, const QString& target) {
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    return target;
}

QString writeMultiPage(const QString& path, int pages, const char* mode) {
    TIFF* tif = TIFFOpen(QFile::encodeName(path).constData(), mode);
    if (!tif)
        return {};
    for (int n = 1; n <= pages; ++n) {
        TiffPage shape;
        shape.size = QSize(200, 120);
        shape.kind = n == 2 ? PageKind::Gray8 : PageKind::Bilevel;
        const QImage image = renderPage(shape, n);
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, quint32(image.width()));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, quint32(image.height()));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, n == 2 ? 8 : 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, n == 2 ? COMPRESSION_LZW : COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 40u);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, quint16(n - 1), quint16(pages));
        for (int y = 0; y < image.height(); ++y)
            TIFFWriteScanline(tif, const_cast<uchar*>(image.constScanLine(y)), quint32(y), 0);
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return path;
}

QImage decoded(const QString& path, int page) {
    const auto doc = Document::open(path);
    return doc ? doc->decodePage(page).image : QImage();
}

}  // namespace

class TestImagingEdit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void deleteAndMoveKeepPages_data();
    void deleteAndMoveKeepPages();
    void otherLayoutsKeepPages_data();
    void otherLayoutsKeepPages();
    void corpusStructuresSurviveRewrite_data();
    void corpusStructuresSurviveRewrite();
    void refusedEditsLeaveFile_data();
    void refusedEditsLeaveFile();
    void faultsLeaveOriginal_data();
    void faultsLeaveOriginal();
    void safeWriterKeepsPermissions();
    void replaceTurnedPage_data();
    void replaceTurnedPage();
    void pageTags();
    void singlePageWriter();

private:
    QTemporaryDir* m_dir = nullptr;
    QString path(const QString& name) const { return m_dir->filePath(name); }
};

void TestImagingEdit::init() {
    m_dir = new QTemporaryDir;
    faults::reset();
}

void TestImagingEdit::cleanup() {
    faults::reset();
    delete m_dir;
    m_dir = nullptr;
}

void TestImagingEdit::deleteAndMoveKeepPages_data() {
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("from");  // page deleted or moved
    QTest::addColumn<int>("to");    // -1: delete
    QTest::newRow("3 pages, delete first") << 3 << 0 << -1;
    QTest::newRow("3 pages, delete last") << 3 << 2 << -1;
    QTest::newRow("3 pages, move first to last") << 3 << 0 << 2;
    QTest::newRow("3 pages, move last to first") << 3 << 2 << 0;
    QTest::newRow("51 pages, delete middle") << 51 << 25 << -1;
    QTest::newRow("51 pages, move last to first") << 51 << 50 << 0;
    QTest::newRow("51 pages, move forward") << 51 << 3 << 40;
}

void TestImagingEdit::deleteAndMoveKeepPages() {
    QFETCH(int, pages);
    QFETCH(int, from);
    QFETCH(int, to);
    const QString file = writeTiff(path(QStringLiteral("mixed.tif")), mixedPages(pages));
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
    QCOMPARE(int(after.pages.size()), order.size());
    for (int i = 0; i < order.size(); ++i) {
        const tiff::Ifd& now = after.pages[size_t(i)];
        QVERIFY2(tiff::sameContent(without(now, kPageNumber),
                                   without(before.pages[size_t(order[i])], kPageNumber)),
                 qPrintable(QStringLiteral("page %1").arg(i)));
        QCOMPARE(now.number(kPageNumber, after.bigEndian, 0), quint64(i));
        QCOMPARE(now.number(kPageNumber, after.bigEndian, 1), quint64(order.size()));
    }
    QString complaint;
    QVERIFY2(tiffinfoAccepts(file, &complaint), qPrintable(complaint));
}

void TestImagingEdit::otherLayoutsKeepPages_data() {
    QTest::addColumn<QString>("mode");
    QTest::newRow("big-endian") << "wb";
    QTest::newRow("BigTIFF") << "w8";
    QTest::newRow("big-endian BigTIFF") << "w8b";
}

void TestImagingEdit::otherLayoutsKeepPages() {
    QFETCH(QString, mode);
    const QString file = writeMultiPage(path(QStringLiteral("layout.tif")), 3, qPrintable(mode));
    QVERIFY(!file.isEmpty());
    const tiff::File before = structureOf(file);
    const QImage first = decoded(file, 0);
    QVERIFY(movePage(file, 0, 2).ok);
    const tiff::File after = structureOf(file);
    QCOMPARE(after.bigEndian, before.bigEndian);
    QCOMPARE(after.bigTiff, before.bigTiff);
    QCOMPARE(readAll(file).left(4), readAll(file).left(4));
    QVERIFY(tiff::sameContent(without(after.pages[2], kPageNumber),
                              without(before.pages[0], kPageNumber)));
    QVERIFY(samePixels(decoded(file, 2), first));
    QVERIFY(deletePage(file, 1).ok);
    QCOMPARE(Document::open(file)->pageCount(), 2);
    QString complaint;
    QVERIFY2(tiffinfoAccepts(file, &complaint), qPrintable(complaint));
}

void TestImagingEdit::corpusStructuresSurviveRewrite_data() {
    QTest::addColumn<QString>("file");
    for (const char* f :
         {"libtiff__custom_dir_EXIF_GPS.tiff", "libtiff__tiff_with_subifd_chain.tif",
          "libtiff__ojpeg_chewey_subsamp21_multi_strip.tiff",
          "pillow__old-style-jpeg-compression.tif", "pillow__16bit.MM.deflate.tif",
          "libtiff__quad-tile.jpg.tiff", "pillow__g4-multi.tiff",
          "pillow__tiff_tiled_planar_lzw.tiff", "pillow__no_rows_per_strip.tif"})
        QTest::newRow(f) << QString::fromLatin1(f);
}

void TestImagingEdit::corpusStructuresSurviveRewrite() {
    QFETCH(QString, file);
    const QString source = corpusFile(QStringLiteral("good/") + file);
    if (!QFile::exists(source))
        QSKIP("corpus not found");
    const QString copy = copyOf(source, path(file));
    const tiff::File before = structureOf(copy);
    QVERIFY(!before.pages.empty());
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

void TestImagingEdit::refusedEditsLeaveFile_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<int>("pages");
    QTest::newRow("delete, read-only") << "delete 0" << true << 3;
    QTest::newRow("move, read-only") << "move 0 1" << true << 3;
    QTest::newRow("replace, read-only") << "replace 0" << true << 3;
    QTest::newRow("tag, read-only") << "tag 0" << true << 3;
    QTest::newRow("delete the only page") << "delete 0" << false << 1;
    QTest::newRow("delete past the end") << "delete 3" << false << 3;
    QTest::newRow("delete before the start") << "delete -1" << false << 3;
    QTest::newRow("move past the end") << "move 0 3" << false << 3;
    QTest::newRow("replace past the end") << "replace 5" << false << 3;
    QTest::newRow("tag on a missing page") << "tag 9" << false << 3;
    QTest::newRow("tag that holds offsets") << "tag 0 273" << false << 3;
}

void TestImagingEdit::refusedEditsLeaveFile() {
    QFETCH(QString, edit);
    QFETCH(bool, readOnly);
    QFETCH(int, pages);
    TiffPage shape;
    shape.size = QSize(200, 100);
    const QString file = writeTiff(path(QStringLiteral("keep.tif")), pages, shape);
    if (readOnly)
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    const QByteArray original = readAll(file);
    const QStringList args = edit.split(QLatin1Char(' '));
    const int a = args.value(1).toInt(), b = args.value(2).toInt();
    WriteResult r;
    if (args[0] == QLatin1String("delete"))
        r = deletePage(file, a);
    else if (args[0] == QLatin1String("move"))
        r = movePage(file, a, b);
    else if (args[0] == QLatin1String("replace"))
        r = replacePageImage(file, a, renderPage(shape, 1), false);
    else
        r = writePageTag(file, a, args.size() > 2 ? quint16(b) : kPrivateTag, "x");
    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(readAll(file), original);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestImagingEdit::faultsLeaveOriginal_data() {
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("edit");
    const QStringList edits{QStringLiteral("delete"), QStringLiteral("replace"),
                            QStringLiteral("tag")};
    const char* names[] = {"open", "write", "flush", "rename"};
    for (int s = 0; s < 4; ++s)
        for (const QString& e : edits)
            QTest::newRow(
                qPrintable(QStringLiteral("%1 fails at %2").arg(e, QLatin1String(names[s]))))
                << s << e;
}

void TestImagingEdit::faultsLeaveOriginal() {
    QFETCH(int, step);
    QFETCH(QString, edit);
    TiffPage shape;
    shape.size = QSize(200, 100);
    const QString file = writeTiff(path(QStringLiteral("precious.tif")), 3, shape);
    const QByteArray original = readAll(file);
    faults::failAt(faults::Step(step));
    WriteResult r;
    if (edit == QLatin1String("delete"))
        r = deletePage(file, 1);
    else if (edit == QLatin1String("replace"))
        r = replacePageImage(file, 1, renderPage(shape, 3), false);
    else
        r = writePageTag(file, 1, kPrivateTag, "x");
    QVERIFY(!r.ok);
    QCOMPARE(readAll(file), original);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    // The fault was one occurrence: the same edit now succeeds.
    if (edit == QLatin1String("delete"))
        r = deletePage(file, 1);
    else if (edit == QLatin1String("replace"))
        r = replacePageImage(file, 1, renderPage(shape, 3), false);
    else
        r = writePageTag(file, 1, kPrivateTag, "x");
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(readAll(file) != original);
}

void TestImagingEdit::safeWriterKeepsPermissions() {
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

void TestImagingEdit::replaceTurnedPage_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("compression");
    QTest::addColumn<bool>("exact");
    QTest::newRow("G4") << int(PageKind::Bilevel) << int(G4) << true;
    QTest::newRow("G3") << int(PageKind::Bilevel) << int(G3) << true;
    QTest::newRow("grey LZW") << int(PageKind::Gray8) << int(Lzw) << true;
    QTest::newRow("palette PackBits") << int(PageKind::Palette8) << int(PackBits) << true;
    QTest::newRow("colour JPEG") << int(PageKind::Rgb8) << int(Jpeg) << false;
}

void TestImagingEdit::replaceTurnedPage() {
    QFETCH(int, kind);
    QFETCH(int, compression);
    QFETCH(bool, exact);
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

void TestImagingEdit::pageTags() {
    const QString file = writeTiff(path(QStringLiteral("tags.tif")), 2, TiffPage());
    QCOMPARE(readPageTag(file, 0, kPrivateTag), QByteArray());
    const QByteArray blob("\x00\x01binary\xff", 9);
    QVERIFY(writePageTag(file, 1, kPrivateTag, blob).ok);
    QCOMPARE(readPageTag(file, 1, kPrivateTag), blob);
    QCOMPARE(readPageTag(file, 0, kPrivateTag), QByteArray());
    QVERIFY(writePageTag(file, 1, kPrivateTag, QByteArray(3, 'z')).ok);  // shorter than inline size
    QCOMPARE(readPageTag(file, 1, kPrivateTag), QByteArray("zzz"));
    QVERIFY(writePageTag(file, 1, kPrivateTag, {}).ok);
    QCOMPARE(readPageTag(file, 1, kPrivateTag), QByteArray());
    QCOMPARE(readPageTag(path(QStringLiteral("missing.tif")), 0, kPrivateTag), QByteArray());
}

void TestImagingEdit::singlePageWriter() {
    TiffPage shape;
    shape.dpi = QSizeF(300, 150);
    QImage mono = renderPage(shape, 1);
    mono.setDotsPerMeterX(qRound(300 / 0.0254));
    mono.setDotsPerMeterY(qRound(150 / 0.0254));
    const QString monoPath = path(QStringLiteral("zone.tif"));
    QVERIFY(writeTiffImage(monoPath, mono).ok);
    auto doc = Document::open(monoPath);
    QVERIFY(doc);
    QCOMPARE(doc->page(0).compression, 4);
    QCOMPARE(doc->page(0).dpi.toSize(), QSize(300, 150));
    QVERIFY(samePixels(doc->decodePage(0).image, mono));

    shape.kind = PageKind::Rgb8;
    const QImage colour = renderPage(shape, 2).convertToFormat(QImage::Format_RGB32);
    QVERIFY(writeTiffImage(monoPath, colour).ok);  // replaces the file
    doc = Document::open(monoPath);
    QCOMPARE(doc->page(0).compression, 5);
    QVERIFY(samePixels(doc->decodePage(0).image, colour));
}

QTEST_MAIN(TestImagingEdit)
#include "tst_imagingedit.moc"
