// Every write to a user's file, failed at each step of the safe write: the file keeps its
// bytes, nothing is left beside it, and the viewer still shows the document as stored.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "editorannotation.h"
#include "imaging/annotationstore.h"
#include "imaging/safefilewriter.h"
#include "imaging/tiffpageedit.h"
#include "interfaces/imageeditor.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"

using namespace ktdv;
using namespace ktdv::test;
using Step = imaging::faults::Step;

namespace {

const QString kTessData = QStringLiteral("/usr/share/tesseract-ocr/5/tessdata");

// What a viewer shows of its document.
struct Shown {
    int pageCount = -1;
    QString pageNumber;
    int thumbnails = -1;
    bool operator==(const Shown&) const = default;
};

Shown shown(ViewerControl& v) {
    auto* thumbs = dynamic_cast<ThumbnailView*>(v.widgets().thumbs.get());
    return {v.widgets().editor->document().pageCount(),
            v.widgets().statusBar->text(QStringLiteral("PageNumber")),
            thumbs ? thumbs->thumbnails().pageCount() : -1};
}

// Everything in the folder but the named files (temporary files show up here).
QStringList strays(const QString& folder, const QStringList& expected) {
    QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : expected)
        found.removeAll(name);
    return found;
}

}  // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT
private slots:

    void init() { imaging::faults::reset(); }
    void cleanup() { imaging::faults::reset(); }
    void failedWriteKeepsTheFile_data();
    void failedWriteKeepsTheFile();
};

void TestWriteFaults::failedWriteKeepsTheFile_data() {
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("step");  // -1: no fault, the write must then change the file
    QTest::addColumn<int>("occurrence");
    // Page edits are made in place; an export and a compaction replace the whole file.
    const char* names[] = {"open", "write", "flush", "rename", "append", "sync", "switch"};
    for (const char* op : {"rotate", "annotate", "delete", "move", "export", "compact"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1/none").arg(QLatin1String(op))))
            << QString::fromLatin1(op) << -1 << 1;
        const bool inPlace = QByteArray(op) != "export" && QByteArray(op) != "compact";
        const QList<QPair<int, int>> steps = {{int(Step::Append), 1},
                                              {int(Step::Sync), 1},
                                              {int(Step::Switch), 1},
                                              {int(Step::Sync), 2}};
        const QList<QPair<int, int>> whole = {{0, 1}, {1, 1}, {2, 1}, {3, 1}};
        for (const auto& [s, n] : inPlace ? steps : whole)
            QTest::newRow(
                qPrintable(QStringLiteral("%1/%2%3").arg(op, names[s], n > 1 ? " again" : "")))
                << QString::fromLatin1(op) << s << n;
    }
}

void TestWriteFaults::failedWriteKeepsTheFile() {
    QFETCH(QString, operation);
    QFETCH(int, step);
    QFETCH(int, occurrence);
    const bool fail = step >= 0;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    moduleState() = ViewerModuleState();

    const TiffPage layout;  // A4: the page fills the view, so a rectangle in the middle is on it
    const QString doc = writeTiff(dir.filePath(QStringLiteral("doc.tif")), 3, layout);
    QVERIFY(!doc.isEmpty());
    QString target = doc;  // the file the operation writes

    auto factory = std::make_shared<RealFactory>();
    factory->settings->writeInt(QStringLiteral("chkSaveTIF"), 1);
    factory->settings->writeBool(QStringLiteral("bThumbs"), true);
    std::unique_ptr<ViewerControl> viewer;
    const bool viewerLevel =
        operation != QLatin1String("export") && operation != QLatin1String("compact");
    if (viewerLevel) {
        viewer = std::make_unique<ViewerControl>(factory);
        viewer->resize(900, 700);
        viewer->show();
        viewer->setUserPermission(24);
        viewer->OpenImage(doc);
        QString path = doc;
        viewer->session().LoadPage(path, QStringLiteral("navigate"), 1);  // page 2 shown
        QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("2 of 3"), 3}));
    }

    // The export overwrites an earlier export of the user's.
    std::unique_ptr<TesseractEngine> engine;
    QString source;
    if (operation == QLatin1String("export")) {
        target = dir.filePath(QStringLiteral("earlier.txt"));
        QFile f(target);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("the user's earlier export\r\n");
        f.close();
        source = dir.filePath(QStringLiteral("words.png"));
        const QImage page = renderTextPage({QStringLiteral("Quarterly invoice")}, QSize(900, 300),
                                           200, 24, QStringLiteral("DejaVu Serif"), false);
        QVERIFY(page.save(source, "PNG"));
        engine = std::make_unique<TesseractEngine>();
        engine->setSystemDataFolders({kTessData});
        QString folder = dir.path() + QLatin1Char('/');
        QCOMPARE(engine->initialise(folder), 0);
    }
    const QByteArray before = readAll(target);
    const QString copyOf = dir.filePath(QStringLiteral("copy.tif"));
    QVERIFY(QFile::copy(doc, copyOf));
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);

    if (fail)
        imaging::faults::failAt(Step(step), occurrence);
    bool ok = false;
    if (operation == QLatin1String("rotate")) {
        viewer->MainToolbar_ButtonClick(QStringLiteral("Rotate90Right"));
        QVERIFY(viewer->session().pageModified());
        viewer->CloseImage();  // writes the turned page back
        ok = readAll(doc) != before;
        imaging::faults::reset();
        viewer->OpenImage(doc);
        QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("1 of 3"), 3}));
    } else if (operation == QLatin1String("annotate")) {
        QVERIFY(annotateMiddle(*viewer->widgets().editor, doc, 1, &ok));
        imaging::faults::reset();
        QCOMPARE(imaging::AnnotationStore::load(doc, 1).annotations.size(), fail ? 0 : 1);
        QString path = doc;
        viewer->session().LoadPage(path, QStringLiteral("navigate"), 1);
        QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("2 of 3"), 3}));
    } else if (operation == QLatin1String("delete") || operation == QLatin1String("move")) {
        auto* thumbs = dynamic_cast<ThumbnailView*>(viewer->widgets().thumbs.get());
        QVERIFY(thumbs);
        factory->prompts->clearRecords();
        factory->prompts->questionAnswers = {true};
        if (operation == QLatin1String("delete"))
            thumbs->deletePageAt(2);
        else
            thumbs->movePage(0, 1);
        imaging::faults::reset();
        ok = readAll(doc) != before;
        // A failure is told to the user, and the viewer still shows the stored document.
        QCOMPARE(factory->prompts->messages.size(), fail ? 1 : 0);
        const int pages = operation == QLatin1String("delete") && !fail ? 2 : 3;
        const Shown now = shown(*viewer);
        QCOMPARE(now.pageCount, pages);
        QCOMPARE(now.thumbnails, pages);
        if (fail)
            QCOMPARE(now.pageNumber, QStringLiteral("2 of 3"));
    } else if (operation == QLatin1String("compact")) {  // a file laid out anew
        ok = imaging::compactFile(doc).ok;
        QCOMPARE(pageSnapshots(doc), pageSnapshots(copyOf));
    } else if (operation == QLatin1String("export")) {
        const int code = engine->convert(source, target, RecognitionEngine::DestinationFile, 2);
        ok = code == RecognitionEngine::Ok;
        if (!fail)
            QVERIFY(readAll(target).contains("invoice"));
    }
    imaging::faults::reset();

    QCOMPARE(ok, !fail);
    if (fail)
        QVERIFY2(readAll(target) == before, "the original changed although the write failed");
    QCOMPARE(strays(dir.path(), files), QStringList());
}

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
