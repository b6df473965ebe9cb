// Every write to a user's file, failed at each step of the safe write: the file keeps its
// bytes, nothing is left beside it, and the viewer still shows the document as stored.
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "editorannotation.h"
#include "imaging/annotationstore.h"
#include "imaging/safefilewriter.h"
#include "interfaces/imageeditor.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/rows.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/viewercontrol.h"

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
    auto* thumbs = dynamic_cast<ThumbnailView*>(v.ctlKTImgThumbs1.get());
    return {v.ctlKTImgEdit1->pageCount(), v.StatusBar->text(QStringLiteral("PageNumber")),
            thumbs ? thumbs->pageCount() : -1};
}

// Every file in the folder, hidden ones (temporary files) included.
QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { imaging::faults::reset(); }
    void failedWriteKeepsTheFile_data();
    void failedWriteKeepsTheFile();
};

void TestWriteFaults::failedWriteKeepsTheFile_data() {
    columns<QString, int>("operation", "step");  // step -1: no fault, the file must change
    const QString steps[] = {"none", "open", "write", "flush", "rename"};
    for (const QString op : {"rotate", "annotate", "delete", "move", "export"})
        for (int s = -1; s < 4; ++s)
            addRow(qPrintable(op + '/' + steps[s + 1]), op, s);
}

void TestWriteFaults::failedWriteKeepsTheFile() {
    auto [operation, step] = fetch<QString, int>("operation", "step");
    const bool fail = step >= 0;
    QTemporaryDir dir;
    moduleState() = ViewerModuleState();

    // A4: the page fills the view, so a rectangle in the middle is on it.
    const QString doc = writeTiff(dir.filePath(QStringLiteral("doc.tif")), 3);
    QVERIFY(!doc.isEmpty());
    QString target = doc;  // the file the operation writes

    auto factory = std::make_shared<RealFactory>();
    factory->settings->writeInt(QStringLiteral("chkSaveTIF"), 1);
    factory->settings->writeBool(QStringLiteral("bThumbs"), true);
    std::unique_ptr<ViewerControl> viewer;
    if (operation != QLatin1String("export")) {
        viewer = std::make_unique<ViewerControl>(factory);
        viewer->resize(900, 700);
        viewer->show();
        viewer->setUserPermission(24);
        viewer->OpenImage(doc);
        QString path = doc;
        viewer->LoadPage(path, QStringLiteral("navigate"), 1);  // page 2 shown
        QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("2 of 3"), 3}));
    }

    // The export overwrites an earlier export of the user's.
    std::unique_ptr<TesseractEngine> engine;
    QString source;
    if (operation == QLatin1String("export")) {
        target = writeBytes(dir.filePath(QStringLiteral("earlier.txt")), "an earlier export\r\n");
        source = dir.filePath(QStringLiteral("words.png"));
        QVERIFY(renderTextPage({QStringLiteral("Quarterly invoice")}, QSize(900, 300), 200, 24,
                               QStringLiteral("DejaVu Serif"), false)
                    .save(source, "PNG"));
        engine = std::make_unique<TesseractEngine>();
        engine->setSystemDataFolders({kTessData});
        QString folder = dir.path() + QLatin1Char('/');
        QCOMPARE(engine->initialise(folder), 0);
    }
    const QByteArray before = readAll(target);
    const QStringList files = filesIn(dir.path());

    if (fail)
        imaging::faults::failAt(Step(step));
    bool ok = false;
    if (operation == QLatin1String("rotate")) {
        viewer->MainToolbar_ButtonClick(QStringLiteral("Rotate90Right"));
        QVERIFY(viewer->bPageModified);
        viewer->CloseImage();  // writes the turned page back
        ok = readAll(doc) != before;
        imaging::faults::reset();
        viewer->OpenImage(doc);
        QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("1 of 3"), 3}));
    } else if (operation == QLatin1String("annotate")) {
        QVERIFY(annotateMiddle(*viewer->ctlKTImgEdit1, doc, 1, &ok));
        imaging::faults::reset();
        QCOMPARE(imaging::AnnotationStore::load(doc, 1).annotations.size(), fail ? 0 : 1);
        QString path = doc;
        viewer->LoadPage(path, QStringLiteral("navigate"), 1);
        QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("2 of 3"), 3}));
    } else if (operation == QLatin1String("delete") || operation == QLatin1String("move")) {
        auto* thumbs = dynamic_cast<ThumbnailView*>(viewer->ctlKTImgThumbs1.get());
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
        QCOMPARE(shown(*viewer).thumbnails, pages);
        if (fail)
            QCOMPARE(shown(*viewer), (Shown{3, QStringLiteral("2 of 3"), 3}));
    } else if (operation == QLatin1String("export")) {
        ok = engine->convert(source, target, RecognitionEngine::DestinationFile, 2) ==
             RecognitionEngine::Ok;
        if (!fail)
            QVERIFY(readAll(target).contains("invoice"));
    }
    imaging::faults::reset();

    QCOMPARE(ok, !fail);
    if (fail)
        QVERIFY2(readAll(target) == before, "the original changed although the write failed");
    QCOMPARE(filesIn(dir.path()), files);  // nothing left beside it
}

QTEST_MAIN(TestWriteFaults)
#include "tst_writefaults.moc"
