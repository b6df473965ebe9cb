// The edit history on generated files: any mix of page deletes, moves, saved turns and
// annotation changes, undone, leaves the file as it was (every tag, strip and annotation,
// as libtiff and our own reader see it); redone, as the edits left it. A file changed by
// someone else is never written over.
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTransform>
#include <QtTest>

#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "imaging/edithistory.h"
#include "imaging/tiffpageedit.h"
#include "imaging/tiffstructure.h"
#include "support/fixtures.h"
#include "support/rows.h"

using namespace ktdv::imaging;
using namespace ktdv::test;

namespace {

// What a file holds: libtiff's reading of every page, and our own (tags, data, children).
struct State {
    QStringList pages;
    tiff::File structure;
    static State of(const QString& path) {
        State s{pageSnapshots(path), {}};
        tiff::read(readAll(path), &s.structure, nullptr);
        return s;
    }
    bool operator==(const State& o) const {
        bool same = pages == o.pages && structure.pages.size() == o.structure.pages.size();
        for (size_t i = 0; same && i < structure.pages.size(); ++i)
            same = tiff::sameContent(structure.pages[i], o.structure.pages[i]);
        return same;
    }
};

// What libtiff's tiffcp says while it decodes every page, but for our private tag.
QStringList tiffcpComplaints(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("tiffcp"),
            {QStringLiteral("-c"), QStringLiteral("none"), path, path + QStringLiteral(".copy")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("tiffcp failed")};
    return QString::fromLocal8Bit(p.readAllStandardError())
        .split('\n', Qt::SkipEmptyParts)
        .filter(QRegularExpression(QStringLiteral("^(?!.*tag 65101 )")));
}

WriteResult saveNotes(const QString& file, int page, const QList<Annotation>& list) {
    return AnnotationStore::save(file, page, list);
}

// One random change of the file through the history.
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
            return h.changePage(file, page, QStringLiteral("Rotate"),
                                [&] { return replacePageImage(file, page, turned, true); });
        }
        default: {
            QList<Annotation> list = AnnotationStore::load(file, page).annotations;
            const quint32 what = list.isEmpty() ? 0 : rng.bounded(3);  // add, edit, delete
            if (what == 0)
                list.append(Annotation::make(Annotation::Text, QRectF(rng.bounded(90), 9, 20, 30)));
            else if (what == 1)
                list.last().text += QStringLiteral("edited");
            else
                list.removeLast();
            return h.changeTag(file, page, kAnnotationTag, QStringLiteral("Annotation"),
                               [&] { return saveNotes(file, page, list); });
        }
    }
}

}  // namespace

class TestEditHistory : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    // Six small pages of different codings, two carrying annotations, in a history.
    QString document(const char* mode = "w") {
        QList<TiffPage> pages(6);
        const int codings[] = {G4, Lzw, Jpeg, PackBits, G3, Deflate};
        const PageKind kinds[] = {PageKind::Bilevel,  PageKind::Gray8,   PageKind::Rgb8,
                                  PageKind::Palette8, PageKind::Bilevel, PageKind::Gray8};
        for (int i = 0; i < 6; ++i) {
            pages[i].size = QSize(120 + i, 80);
            pages[i].compression = codings[i];
            pages[i].kind = kinds[i];
        }
        const QString file = writeTiff(m_dir->filePath(QStringLiteral("doc.tif")), pages, mode);
        for (int page : {1, 4})
            saveNotes(file, page, {Annotation::make(Annotation::Stamp, QRectF(5, 5, 40, 20))});
        return file;
    }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void editsUndoneAndRedone_data() {
        columns<quint32, int, QString>("seed", "edits", "mode");
        addRow("seed 1, 50 edits", 1u, 50, QString("w"));
        addRow("seed 2, 50 edits, big-endian BigTIFF", 2u, 50, QString("w8b"));
        addRow("seed 3, 12 edits", 3u, 12, QString("w"));
    }
    void editsUndoneAndRedone() {
        auto [seed, edits, mode] = fetch<quint32, int, QString>("seed", "edits", "mode");
        const QString file = document(qPrintable(mode));
        const State original = State::of(file);
        EditHistory h;
        h.setDocument(file);
        QRandomGenerator rng(seed);
        for (int i = 0; i < edits; ++i) {
            const WriteResult r = randomEdit(h, file, rng);
            QVERIFY2(r.ok, qPrintable(r.error));
        }
        const State edited = State::of(file);
        const int steps = h.undoCount();
        QVERIFY(steps >= edits * 3 / 4 && steps <= edits);
        for (int i = 0; i < steps; ++i)
            QVERIFY2(h.undo().ok, qPrintable(QString::number(i)));
        QVERIFY(!h.undo().ok);
        QVERIFY(State::of(file) == original);
        QCOMPARE(tiffcpComplaints(file), QStringList());
        for (int i = 0; i < steps; ++i)
            QVERIFY(h.redo().ok);
        QVERIFY(State::of(file) == edited);
        QCOMPARE(tiffcpComplaints(file), QStringList());
        QCOMPARE(h.redoCount(), 0);
    }

    // After a change by another program, undo and redo refuse and forget; a new change
    // starts a new history.
    void outsideChangesAreNotOverwritten_data() {
        columns<QString, bool>("outside", "undoFirst");
        addRow("another program moved a page", QString("move"), false);
        addRow("written in place, same size", QString("inPlace"), true);
        addRow("another program annotated a page", QString("tag"), false);
    }
    void outsideChangesAreNotOverwritten() {
        auto [outside, undoFirst] = fetch<QString, bool>("outside", "undoFirst");
        const QString file = document();
        EditHistory h;
        h.setDocument(file);
        QVERIFY(h.deletePage(file, 2).ok);
        QVERIFY(h.movePage(file, 0, 3).ok);
        if (undoFirst)
            QVERIFY(h.undo().ok);
        if (outside == "move") {
            QVERIFY(movePage(file, 1, 2).ok);
        } else if (outside == "tag") {
            QVERIFY(writePageTag(file, 0, 65000, "theirs").ok);
        } else {
            QTest::qSleep(20);  // past the file system clock's tick: only the time tells
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(f.size() - 1));
            const char last = char(~f.peek(1).at(0));
            QVERIFY(f.write(&last, 1) == 1);
        }
        const QByteArray theirs = readAll(file);
        const QStringList theirPages = pageSnapshots(file);
        const EditHistory::Outcome o = undoFirst ? h.redo() : h.undo();
        QVERIFY(!o.ok && o.changedOutside && !o.error.isEmpty());
        QCOMPARE(readAll(file), theirs);
        QCOMPARE(h.undoCount() + h.redoCount(), 0);
        // A change made now can be undone, back to their file.
        QVERIFY(h.changeTag(file, 1, kAnnotationTag, QStringLiteral("Add Annotation"), [&] {
                     return saveNotes(file, 1, {Annotation::make(Annotation::Text, {1, 1, 5, 5})});
                 }).ok);
        QCOMPARE(h.undoName(), QStringLiteral("Add Annotation"));
        QVERIFY(h.undo().ok);
        QCOMPARE(pageSnapshots(file), theirPages);
    }

    // The oldest steps go beyond the bound; a document of no interest is not recorded.
    void boundedAndPerDocument() {
        const QString file = document();
        EditHistory h;
        h.setDocument(file);
        for (int i = 0; i < EditHistory::kMaxSteps + 5; ++i)
            QVERIFY(h.movePage(file, 0, 5).ok);
        QCOMPARE(h.undoCount(), EditHistory::kMaxSteps);
        QCOMPARE(h.undoName(), QStringLiteral("Move Page 1"));
        h.setDocument(m_dir->filePath(QStringLiteral("other.tif")));
        QCOMPARE(h.undoCount(), 0);
        QVERIFY(h.deletePage(file, 0).ok);
        QCOMPARE(h.undoCount(), 0);
    }
};

QTEST_MAIN(TestEditHistory)
#include "tst_edithistory.moc"
