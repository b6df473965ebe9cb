// Lossless page edits and safe writes: every page that is not edited keeps its data and
// tags byte for byte, refused edits leave the file as it was, read-only files are never
// touched (failures at each write step: tests/hardening). The edit history: any mix of edits,
// undone, leaves the file as it was; redone, as the edits left it; a file changed by someone
// else is never written over.

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "imaging/edithistory.h"
#include "imaging/safefilewriter.h"
#include "imaging/tiffpageedit.h"
#include "imaging/tiffpagetransfer.h"
#include "imaging/tiffstructure.h"
#include "support/fixtures.h"
#include "support/rows.h"

using namespace ktdv::imaging;
using namespace ktdv::test;

namespace {

constexpr quint16 kPrivateTag = 65100;

// A mix of pages as a scanner archive holds them, each with a description.
QList<TiffPage> mixedPages(int count) {
    struct Kind {
        PageKind kind;
        int compression;
    };
    const Kind kinds[] = {{PageKind::Bilevel, G4}, {PageKind::Gray8, Lzw},
                          {PageKind::Rgb8, Jpeg},  {PageKind::Palette8, PackBits},
                          {PageKind::Bilevel, G3}, {PageKind::Gray8, Deflate}};
    QList<TiffPage> pages;
    for (int i = 0; i < count; ++i) {
        TiffPage p;
        p.size = QSize(240, 160);
        p.dpi = QSizeF(200, 100);
        p.kind = kinds[i % 6].kind;
        p.compression = kinds[i % 6].compression;
        p.tiled = i % 6 == 5;
        p.group3Options = 1;
        p.asciiTags = {{270, QStringLiteral("page %1 of a fax").arg(i + 1)}};
        pages.append(p);
    }
    return pages;
}

// Runs "delete <page>", "move <from> <to>", "replace <page>" (the page turned a quarter) or
// "tag <page> [<tag>]".
WriteResult runEdit(const QString& file, const QString& edit, const QImage& replacement = {}) {
    const QStringList args = edit.split(QLatin1Char(' '));
    const int a = args.value(1).toInt(), b = args.value(2).toInt();
    if (args[0] == QLatin1String("delete"))
        return deletePage(file, a);
    if (args[0] == QLatin1String("move"))
        return movePage(file, a, b);
    if (args[0] == QLatin1String("replace"))
        return replacePageImage(file, a, replacement, true);
    return writePageTag(file, a, args.size() > 2 ? quint16(b) : kPrivateTag, "x");
}

// A page's snapshot without the places of what its tags point at (sub-directories, JPEG
// tables: their content is compared through our own reader), renumbered to `index` of
// `count` pages unless `index` is -1.
QString comparable(QString snapshot, int index = -1, int count = 0) {
    static const QRegularExpression offsets(
        QStringLiteral("^( *(\\w*IFDOffset|SubIFD Offsets|Jpeg\\w*):).*$"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression number(QStringLiteral("Page Number: \\d+-\\d+"));
    snapshot.replace(offsets, QStringLiteral("\\1 moved"));
    if (index >= 0)
        snapshot.replace(number, QStringLiteral("Page Number: %1-%2").arg(index).arg(count));
    return snapshot;
}

tiff::File structureOf(const QString& path) {
    tiff::File file;
    tiff::read(readAll(path), &file, nullptr);
    return file;
}

// The same pages as libtiff reads them (tags and data), and the same tags, data and children
// as our own reader sees them.
bool sameFile(const QString& path, const QStringList& pages, const tiff::File& structure) {
    const tiff::File now = structureOf(path);
    bool same = pageSnapshots(path) == pages && now.pages.size() == structure.pages.size();
    for (size_t i = 0; same && i < now.pages.size(); ++i)
        same = tiff::sameContent(now.pages[i], structure.pages[i]);
    return same;
}

// One random change through the history: a page deleted, moved or turned and saved, or an
// annotation added, changed or deleted.
WriteResult randomEdit(EditHistory& h, const QString& file, QRandomGenerator& rng) {
    const int n = Document::open(file)->pageCount();
    const int page = int(rng.bounded(n));
    switch (rng.bounded(4)) {
        case 0:
            if (n > 2)
                return h.deletePage(file, page);
            [[fallthrough]];
        case 1:
            return h.movePage(file, page, (page + 1 + int(rng.bounded(n - 1))) % n);
        case 2: {
            const QImage turned =
                Document::open(file)->decodePage(page).image.transformed(QTransform().rotate(90));
            return h.changePage(file, page, "Rotate",
                                [&] { return replacePageImage(file, page, turned, true); });
        }
        default: {
            QList<Annotation> notes = AnnotationStore::load(file, page).annotations;
            const quint32 what = notes.isEmpty() ? 0 : rng.bounded(3);
            if (what == 0)
                notes.append(
                    Annotation::make(Annotation::Text, QRectF(rng.bounded(90), 9, 20, 30)));
            else if (what == 1)
                notes.last().text += "edited";
            else
                notes.removeLast();
            return h.changeTag(file, page, kAnnotationTag, "Annotation",
                               [&] { return AnnotationStore::save(file, page, notes); });
        }
    }
}

}  // namespace

class TestImagingEdit : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }
    // Six pages of different codings, two with a stamp, in a history of their own.
    QString historyDocument(EditHistory& h, const char* mode = "w") {
        const QString file = writeTiff(path(QStringLiteral("doc.tif")), mixedPages(6), mode);
        for (int page : {1, 4})
            AnnotationStore::save(file, page,
                                  {Annotation::make(Annotation::Stamp, {5, 5, 40, 20})});
        h.setDocument(file);
        return file;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    // Each edit, judged by libtiff's reading of the file: every page not edited keeps its
    // tags (private ones included) and image data byte for byte, renumbered to its new
    // place; a replaced page holds the new pixels in its old coding and keeps its tags.
    void editsKeepEveryOtherPage_data() {
        // source: "<pages> <libtiff mode>" of generated mixed pages, or a corpus file
        columns<QString, QString>("source", "edit");
        addRow("delete first", QString("3 w"), QString("delete 0"));
        addRow("move last to first", QString("3 w"), QString("move 2 0"));
        addRow("51 pages, delete middle", QString("51 w"), QString("delete 25"));
        addRow("51 pages, move forward", QString("51 w"), QString("move 3 40"));
        addRow("BigTIFF, move first to last", QString("3 w8"), QString("move 0 2"));
        addRow("big-endian BigTIFF, delete", QString("3 w8b"), QString("delete 1"));
        const char* kinds[] = {"G4",     "grey LZW",          "colour JPEG", "palette PackBits",
                               "G3 2-D", "grey Deflate tiled"};
        for (int i = 0; i < 6; ++i)
            addRow(qPrintable(QStringLiteral("turn %1").arg(kinds[i])), QString("6 w"),
                   QStringLiteral("replace %1").arg(i));
        for (const char* f :
             {"libtiff__custom_dir_EXIF_GPS.tiff", "libtiff__tiff_with_subifd_chain.tif",
              "libtiff__ojpeg_chewey_subsamp21_multi_strip.tiff",
              "pillow__old-style-jpeg-compression.tif", "pillow__16bit.MM.deflate.tif",
              "libtiff__quad-tile.jpg.tiff", "pillow__g4-multi.tiff",
              "pillow__tiff_tiled_planar_lzw.tiff", "pillow__no_rows_per_strip.tif"})
            addRow(f, QString::fromLatin1(f), QString("tag 0"));
    }
    void editsKeepEveryOtherPage() {
        auto [source, edit] = fetch<QString, QString>("source", "edit");
        const QStringList generated = source.split(QLatin1Char(' '));
        QString file = path(QStringLiteral("edited.tif"));
        if (generated.size() == 2) {
            QVERIFY(!writeTiff(file, mixedPages(generated[0].toInt()), qPrintable(generated[1]))
                         .isEmpty());
            QVERIFY(writePageTag(file, 1, kPrivateTag, "annotations").ok);
        } else {
            KTDV_REQUIRE_CORPUS();
            QVERIFY(QFile::copy(corpusFile(QStringLiteral("good/") + source), file));
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        }
        const QStringList before = pageSnapshots(file);
        const tiff::File original = structureOf(file);
        const QByteArray byteOrderAndVersion = readAll(file).left(4);
        QVERIFY(!before.isEmpty());
        QList<int> order;  // original index of each page afterwards
        for (int i = 0; i < before.size(); ++i)
            order.append(i);
        const QStringList words = edit.split(QLatin1Char(' '));
        const int page = words[1].toInt();
        QImage turned;
        if (words[0] == QLatin1String("replace")) {
            turned =
                Document::open(file)->decodePage(page).image.transformed(QTransform().rotate(90));
        }
        const WriteResult r = runEdit(file, edit, turned);
        QVERIFY2(r.ok, qPrintable(r.error));
        if (words[0] == QLatin1String("delete"))
            order.removeAt(page);
        else if (words[0] == QLatin1String("move"))
            order.move(page, words[2].toInt());
        if (words[0] == QLatin1String("tag")) {  // and taken off again: the file as it was
            QCOMPARE(readPageTag(file, page, kPrivateTag), QByteArray("x"));
            QVERIFY(writePageTag(file, page, kPrivateTag, {}).ok);
        }
        const QStringList after = pageSnapshots(file);
        const tiff::File now = structureOf(file);
        QCOMPARE(after.size(), order.size());
        QCOMPARE(readAll(file).left(4), byteOrderAndVersion);
        const bool renumber =
            words[0] == QLatin1String("delete") || words[0] == QLatin1String("move");
        for (int i = 0; i < order.size(); ++i) {
            if (!turned.isNull() && i == page)
                continue;
            QVERIFY2(comparable(after[i]) ==
                         comparable(before[order[i]], renumber ? i : -1, int(order.size())),
                     qPrintable(QStringLiteral("page %1").arg(i)));
            if (generated.size() == 1)  // what the tags point at
                QVERIFY(tiff::sameContent(now.pages[size_t(i)], original.pages[size_t(i)]));
        }
        // libtiff's own tool reads every strip; it may remark on our private tag only.
        for (const QString& line : generated.size() == 2 ? tiffinfoComplaints(file) : QStringList())
            QVERIFY2(line.contains(QLatin1String("65100")), qPrintable(line));
        if (turned.isNull())
            return;
        const auto doc = Document::open(file);
        QCOMPARE(doc->page(page).pixelSize, QSize(160, 240));
        QCOMPARE(doc->page(page).dpi, QSizeF(100, 200));
        QCOMPARE(doc->page(page).compression, mixedPages(6)[page].compression);
        const QImage back = doc->decodePage(page).image;
        if (doc->page(page).compression == Jpeg)
            QCOMPARE(back.size(), turned.size());
        else
            QVERIFY(samePixels(back, turned));
        QCOMPARE(readPageTag(file, page, 270),
                 QStringLiteral("page %1 of a fax").arg(page + 1).toLatin1().append('\0'));
        QCOMPARE(readPageTag(file, 1, kPrivateTag), QByteArray("annotations"));
    }

    // A page taken out as a file and put back, from the same file or from one of another
    // byte order or form, is the page it was: every tag, every strip and tile, what the
    // tags point at. Edits leave every byte the old chain reaches as it was (only the
    // header's link changes); compaction gives the same pages.
    void pagesTravelExactly_data() {
        // source: "<mode>" of generated mixed pages or a corpus file; pageMode: the page comes
        // from a generated file of that mode ("" = from the source itself)
        columns<QString, QString, int>("source", "pageMode", "page");
        addRow("classic", QString("w"), QString(), 3);
        addRow("big-endian", QString("wb"), QString(), 1);
        addRow("BigTIFF", QString("w8"), QString(), 5);
        addRow("big-endian BigTIFF, last page", QString("w8b"), QString(), 5);
        addRow("big-endian BigTIFF page into classic", QString("w"), QString("w8b"), 4);
        addRow("classic page into big-endian BigTIFF", QString("w8b"), QString("w"), 2);
        for (const char* f :
             {"libtiff__custom_dir_EXIF_GPS.tiff", "libtiff__tiff_with_subifd_chain.tif",
              "libtiff__ojpeg_chewey_subsamp21_multi_strip.tiff", "libtiff__quad-tile.jpg.tiff",
              "pillow__g4-multi.tiff"})
            addRow(f, QString::fromLatin1(f), QString(), 0);
    }
    void pagesTravelExactly() {
        auto [source, pageMode, page] = fetch<QString, QString, int>("source", "pageMode", "page");
        const QString file = path(QStringLiteral("doc.tif")), pageFile = path("page.tif");
        const bool generated = source.size() < 4;
        if (generated) {
            QVERIFY(!writeTiff(file, mixedPages(6), qPrintable(source)).isEmpty());
            QVERIFY(writePageTag(file, 1, kPrivateTag, "annotations").ok);
        } else {
            KTDV_REQUIRE_CORPUS();
            QVERIFY(QFile::copy(corpusFile(QStringLiteral("good/") + source), file));
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        }
        const QStringList before = pageSnapshots(file);
        const tiff::File original = structureOf(file);
        QString from = file;
        if (!pageMode.isEmpty())
            from = writeTiff(path("other.tif"), mixedPages(6), qPrintable(pageMode));
        QVERIFY(extractPage(from, page, pageFile).ok);
        QCOMPARE(comparable(pageSnapshots(pageFile).value(0)), comparable(before[page]));

        const QByteArray old = readAll(file);
        const bool single = before.size() == 1;  // a copy goes in before the page goes
        QVERIFY(single ? insertPage(file, 1, pageFile).ok : deletePage(file, page).ok);
        QByteArray prefix = readAll(file).left(old.size());
        const int link = old.at(old.startsWith("MM") ? 3 : 2) == 43 ? 8 : 4;
        prefix.replace(link, link, old.mid(link, link));
        QVERIFY2(prefix == old, "a byte the old pages use was overwritten");
        QVERIFY(single ? deletePage(file, 0).ok : insertPage(file, page, pageFile).ok);
        const auto samePages = [&] {
            const tiff::File now = structureOf(file);
            const QStringList after = pageSnapshots(file);
            if (after.size() != before.size() || now.pages.size() != original.pages.size())
                return false;
            for (int i = 0; i < before.size(); ++i) {
                // PageNumber is made "i of n" where a corpus file said otherwise
                const bool exact = generated || before.size() == 1;
                const int n = exact ? -1 : i;
                if (comparable(after[i], n, int(before.size())) !=
                        comparable(before[i], n, int(before.size())) ||
                    (exact && !tiff::sameContent(now.pages[size_t(i)], original.pages[size_t(i)])))
                    return false;
            }
            return true;
        };
        QVERIFY(samePages());
        QVERIFY(replacePage(file, page, pageFile).ok);
        QVERIFY(samePages());
        QVERIFY(compactFile(file).ok);
        QVERIFY(samePages());
        QVERIFY(!generated || QFileInfo(file).size() <= old.size());
        for (const QString& line : generated ? tiffinfoComplaints(file) : QStringList())
            QVERIFY2(line.contains(QLatin1String("65100")), qPrintable(line));
    }

    // Bytes that no page uses any more are given back: the file stays within a quarter of
    // its compacted size (plus the least worth a rewrite) however many edits it takes.
    void deadBytesAreReclaimed() {
        const QString file = writeTiff(path(QStringLiteral("grow.tif")), mixedPages(3));
        const QStringList before = pageSnapshots(file);
        qint64 largest = 0;
        for (int i = 0; i < 60; ++i) {
            QVERIFY(writePageTag(file, 2, kPrivateTag, QByteArray(4096, char('a' + i % 26))).ok);
            largest = qMax(largest, QFileInfo(file).size());
        }
        QVERIFY(compactFile(file).ok);
        QVERIFY2(largest <= QFileInfo(file).size() * 5 / 4 + 64 * 1024 + 8192,
                 qPrintable(QString::number(largest)));
        QCOMPARE(pageSnapshots(file).mid(0, 2), before.mid(0, 2));
        QCOMPARE(readPageTag(file, 2, kPrivateTag), QByteArray(4096, char('a' + 59 % 26)));
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
        const WriteResult r =
            runEdit(file, edit, renderPage(shape, 1).transformed(QTransform().rotate(90)));
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
        // Through a link: the linked file changes, the link stays a link.
        const QString link = path(QStringLiteral("link.bin"));
        QVERIFY(QFile::link(file, link));
        QVERIFY(writeFileSafely(link, [](QIODevice& d) { return d.write("four") == 4; }).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(file), QByteArray("four"));
    }

    void historyUndoesAndRedoes_data() {
        columns<quint32, int, QString>("seed", "edits", "mode");
        addRow("seed 1, 50 edits", 1u, 50, QString("w"));
        addRow("seed 2, 50 edits, big-endian BigTIFF", 2u, 50, QString("w8b"));
        addRow("seed 3, 12 edits", 3u, 12, QString("w"));
    }
    void historyUndoesAndRedoes() {
        auto [seed, edits, mode] = fetch<quint32, int, QString>("seed", "edits", "mode");
        EditHistory h;
        const QString file = historyDocument(h, qPrintable(mode));
        const QStringList original = pageSnapshots(file);
        const tiff::File originalStructure = structureOf(file);
        QRandomGenerator rng(seed);
        for (int i = 0; i < edits; ++i) {
            const WriteResult r = randomEdit(h, file, rng);
            QVERIFY2(r.ok, qPrintable(r.error));
        }
        const QStringList edited = pageSnapshots(file);
        const tiff::File editedStructure = structureOf(file);
        const int steps = h.undoCount();
        QVERIFY(steps >= edits * 3 / 4 && steps <= edits);
        for (int i = 0; i < steps; ++i)
            QVERIFY(h.undo().ok);
        QVERIFY(!h.undo().ok);
        QVERIFY(sameFile(file, original, originalStructure));
        for (int i = 0; i < steps; ++i)
            QVERIFY(h.redo().ok);
        QVERIFY(sameFile(file, edited, editedStructure));
        // libtiff's own tools decode every page; they may remark on our private tag only.
        for (const QString& line : tiffinfoComplaints(file) + tiffcpComplaints(file))
            QVERIFY2(line.contains(QLatin1String("65101")), qPrintable(line));
    }

    // After a change by another program, undo and redo refuse and forget everything; a new
    // change starts a new history. The oldest steps go beyond the bound.
    void historyRefusesOutsideChanges_data() {
        columns<QString, bool>("outside", "undoFirst");
        addRow("another program moved a page", QString("move"), false);
        addRow("written in place, same size", QString("inPlace"), true);
        addRow("another program tagged a page", QString("tag"), false);
    }
    void historyRefusesOutsideChanges() {
        auto [outside, undoFirst] = fetch<QString, bool>("outside", "undoFirst");
        EditHistory h;
        const QString file = historyDocument(h);
        for (int i = 0; i < EditHistory::kMaxSteps + 2; ++i)
            QVERIFY(h.movePage(file, 0, 5).ok);
        QCOMPARE(h.undoCount(), EditHistory::kMaxSteps);
        QVERIFY(!undoFirst || h.undo().ok);
        if (outside == "move") {
            QVERIFY(movePage(file, 1, 2).ok);
        } else if (outside == "tag") {
            QVERIFY(writePageTag(file, 0, kPrivateTag, "theirs").ok);
        } else {
            QTest::qSleep(20);  // past a tick of the file system's clock: only the time tells
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(f.size() - 1));
            QVERIFY(f.write(QByteArray(1, char(~f.peek(1).at(0)))) == 1);
        }
        const QByteArray theirs = readAll(file);
        const EditHistory::Outcome o = undoFirst ? h.redo() : h.undo();
        QVERIFY(!o.ok && o.changedOutside && !o.error.isEmpty());
        QCOMPARE(readAll(file), theirs);
        QCOMPARE(h.undoCount() + h.redoCount(), 0);
        QVERIFY(h.deletePage(file, 3).ok);
        QCOMPARE(h.undoName(), QStringLiteral("Delete Page 4"));
        QVERIFY(h.undo().ok);
        const QString copy = writeBytes(path("theirs.tif"), theirs);
        QVERIFY(sameFile(file, pageSnapshots(copy), structureOf(copy)));
    }
};

QTEST_MAIN(TestImagingEdit)
#include "tst_imagingedit.moc"
