// Whole-document conversion from the viewer: the save dialog, the format passed to the
// engine, the progress bar and the messages for engine failures.

#include <QClipboard>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>

#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"
#include "viewer/core/statusbar.h"
#include "viewer/selection/selectionzone.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {
RecordingProgressBar& bar(ViewerHarness& h) {
    return static_cast<RecordingProgressBar&>(*h.w().progress);
}
}  // namespace

class TestConversion : public QObject {
    Q_OBJECT
private slots:
    void toFile_data() {
        // chosen: "" = the dialog was cancelled; saved: the name given to the engine and
        // format its format, "" and 0 = no call ("taken.html" exists and is kept)
        columns<QString, int, int, QString, int, QString>("chosen", "filterIndex", "result",
                                                          "saved", "format", "message");
        addRow("preselected ANSI text", "out.txt", 2, 0, "out.txt", 2, QString());
        addRow("cancelled", "", 2, 0, "", 0, QString());
        addRow("export file cannot be opened", "out.txt", 2, -12, "out.txt", 2,
               QString("ZidaDodi Error: (-12) - Failed to open export file"));
        addRow("HTML, typed without extension", "conv", 8, 0, "conv.html", 9, QString());
        addRow("HTML, that name taken: asked", "taken", 8, 0, "", 0, QString());
        addRow("PDF with annotations", "marked", 12, 0, "marked.pdf", 13, QString());
        addRow("path over 260 characters", QString(240, 'a'), 11, 0, "", 0,
               QString("The file name is longer than 260 characters. Choose a shorter name or "
                       "folder."));
    }
    void toFile() {
        auto [chosen, filterIndex, result, saved, format, message] =
            fetch<QString, int, int, QString, int, QString>("chosen", "filterIndex", "result",
                                                            "saved", "format", "message");
        ViewerHarness h;
        const QString doc = h.document("scan.tif", 4);
        QVERIFY(!writeBytes(h.dir.filePath("taken.html"), "kept").isEmpty());
        h.viewer->OpenImage(doc);
        h.factory->engine->convertResult = result;
        h.prompts().fileAnswers.append(
            {chosen.isEmpty() ? "" : h.dir.filePath(chosen), filterIndex});
        const QString target = h.dir.filePath(saved);

        h.viewer->OcrToolbar_ButtonClick(QStringLiteral("OcrToFile"));

        QCOMPARE(h.prompts().questions.size(), chosen == "taken" ? 1 : 0);
        QCOMPARE(h.prompts().fileRequests.size(), 1);
        const FileDialogRequest& request = h.prompts().fileRequests.first();
        QVERIFY(request.save);
        QCOMPARE(request.title, QString("Convert Document to File"));
        QCOMPARE(request.filterIndex, 2);
        const QStringList converts = only(h.factory->engine->calls, {"convert("});
        if (format == 0) {
            QVERIFY(converts.isEmpty());
            QVERIFY(bar(h).values.isEmpty());  // the bar was never set up
        } else {
            QCOMPARE(converts,
                     QStringList{QString("convert(%1,%2,0,%3)").arg(doc, target).arg(format)});
        }
        QCOMPARE(h.prompts().messages, message.isEmpty() ? QStringList() : QStringList{message});
        QVERIFY(!bar(h).widget()->isVisible());
    }
    // Clicks and keys that reach the viewer while the real engine converts ten pages (the
    // first click starts it, the others come at its first page): the running conversion goes
    // on alone, its captioned bar shown with the busy cursor and a Cancel button beside it;
    // that button, or Escape, stops it after that page with no file left and nothing said.
    void clicksWhileConverting_data() {
        columns<QStringList>("clicks");
        addRow("double click", QStringList{"OcrToClipboard", "OcrToClipboard"});
        addRow("triple click", QStringList{"OcrToClipboard", "OcrToClipboard", "OcrToClipboard"});
        addRow("to file, then clipboard and zone",
               QStringList{"OcrToFile", "OcrToClipboard", "OCR"});
        addRow("to file, cancelled", QStringList{"OcrToFile", "Cancel"});
        addRow("to file, Escape", QStringList{"OcrToFile", "Escape"});
    }
    void clicksWhileConverting() {
        auto [clicks] = fetch<QStringList>("clicks");
        moduleState() = ViewerModuleState();
        TiffPage layout;
        layout.size = QSize(600, 400);
        QTemporaryDir dir;
        auto factory = std::make_shared<RealFactory>();
        factory->recordProgress = true;
        factory->prompts->fileAnswers.append({dir.filePath("out.txt"), 2});
        ViewerControl v(factory);
        v.resize(800, 600);
        v.show();
        v.OpenImage(writeTiff(dir.filePath("ten.tif"), 10, layout));
        const ViewerWidgets& w = v.widgets();
        auto* cancel = v.findChild<QPushButton*>("btnCancelConversion");
        const auto click = [&](const QString& key) {
            if (key == "Escape")  // where the keyboard focus is
                return QTest::keyClick(v.focusWidget(), Qt::Key_Escape);
            Toolbar& t = key == "OCR"            ? *w.selectionToolbar
                         : key.startsWith("Ocr") ? *w.ocrToolbar
                                                 : *w.mainToolbar;
            QTest::mouseClick(key == "Cancel" ? cancel : t.buttonWidget(t.position(key)),
                              Qt::LeftButton);
        };
        bool barShown = true, pending = true;
        QTimer poll;  // runs at each of the conversion's yields
        connect(&poll, &QTimer::timeout, &v, [&] {
            if (factory->bar->values.size() != 2 || !std::exchange(pending, false))
                return;  // acts once, at the first page's progress
            for (const QString& key : clicks.mid(1)) {
                if (key == "OCR") {  // a zone dragged over the page
                    moduleState().startDrag(300, 300);
                    moduleState().dragTo(6000, 4000);
                    float x = 6000, y = 4000;
                    v.selection().PlaceSelectionToolbar(x, y);
                }
                const QCursor* cursor = QGuiApplication::overrideCursor();
                barShown = barShown && w.progress->widget()->isVisible() && cursor &&
                           cursor->shape() == Qt::BusyCursor && cancel->isVisible() &&
                           cancel->x() > w.progress->widget()->geometry().right();
                click(key);
            }
        });
        poll.start(0);
        click(clicks.first());
        poll.stop();

        const bool toFile = clicks.first() == "OcrToFile";
        const bool stopped = clicks.last() == "Cancel" || clicks.last() == "Escape";
        QVERIFY(barShown && w.progress->widget()->isHidden() && cancel->isHidden());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(factory->bar->text(), toFile ? QString("Converting Document to out.txt...")
                                              : QString("Converting Document to Clipboard..."));
        QCOMPARE(factory->bar->values,
                 stopped ? (QList<double>{0, 10})
                         : (QList<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
        QVERIFY(factory->prompts->messages.isEmpty());
        QCOMPARE(factory->prompts->fileRequests.size(), toFile ? 1 : 0);
        const QString text = toFile ? QString::fromLatin1(readAll(dir.filePath("out.txt")))
                                    : QGuiApplication::clipboard()->text();
        QVERIFY2(stopped ? !QFileInfo::exists(dir.filePath("out.txt"))
                         : text.contains("Page 1") && text.contains("Page 10"),
                 qPrintable(text));
        QVERIFY(w.ocrToolbar->enabled("OcrToClipboard") &&
                w.selectionToolbar->widget()->isHidden());
        click("NextPage");  // the viewer goes on
        QCOMPARE(w.statusBar->text("PageNumber"), QString("2 of 10"));
    }
};

QTEST_MAIN(TestConversion)
#include "tst_conversion.moc"
