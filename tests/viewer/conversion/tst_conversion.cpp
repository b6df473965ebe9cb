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
    // Clicks that reach the toolbars while the real engine converts ten pages (the first
    // click starts it): the running conversion goes on alone, its bar shown all the way.
    void clicksWhileConverting_data() {
        columns<QStringList>("clicks");
        addRow("double click", QStringList{"OcrToClipboard", "OcrToClipboard"});
        addRow("triple click", QStringList{"OcrToClipboard", "OcrToClipboard", "OcrToClipboard"});
        addRow("to file, then clipboard and zone",
               QStringList{"OcrToFile", "OcrToClipboard", "OCR"});
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
        const auto click = [&](const QString& key) {
            Toolbar& t = key == "OCR" ? *w.selectionToolbar : *w.ocrToolbar;
            QTest::mouseClick(t.buttonWidget(t.position(key)), Qt::LeftButton);
        };
        bool barShown = true;
        QTimer::singleShot(0, &v, [&] {  // runs at the conversion's first yield
            for (const QString& key : clicks.mid(1)) {
                if (key == "OCR") {  // a zone dragged over the page
                    moduleState().startDrag(300, 300);
                    moduleState().dragTo(6000, 4000);
                    float x = 6000, y = 4000;
                    v.selection().PlaceSelectionToolbar(x, y);
                }
                click(key);
                barShown = barShown && w.progress->widget()->isVisible();
            }
        });
        click(clicks.first());

        const bool toFile = clicks.first() == "OcrToFile";
        QVERIFY(barShown && w.progress->widget()->isHidden());
        QCOMPARE(factory->bar->values, (QList<double>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
        QVERIFY(factory->prompts->messages.isEmpty());
        QCOMPARE(factory->prompts->fileRequests.size(), toFile ? 1 : 0);
        const QString text = toFile ? QString::fromLatin1(readAll(dir.filePath("out.txt")))
                                    : QGuiApplication::clipboard()->text();
        QVERIFY2(text.contains("Page 1") && text.contains("Page 10"), qPrintable(text));
        QVERIFY(w.ocrToolbar->enabled("OcrToClipboard") &&
                w.selectionToolbar->widget()->isHidden());
    }
    // A 10-page conversion by the real engine, stopped once its first page is done with the
    // Cancel button beside the captioned bar, or with Escape: no further page is recognised,
    // no file is left, nothing is reported, and the viewer goes on.
    void cancel_data() {
        columns<bool>("escape");
        addRow("Cancel button", false);
        addRow("Escape", true);
    }
    void cancel() {
        auto [escape] = fetch<bool>("escape");
        moduleState() = ViewerModuleState();
        TiffPage layout;
        layout.size = QSize(600, 400);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.txt");
        auto factory = std::make_shared<RealFactory>();
        factory->prompts->fileAnswers.append({out, 2});
        ViewerControl v(factory);
        v.resize(800, 600);
        v.show();
        v.OpenImage(writeTiff(dir.filePath("ten.tif"), 10, layout));
        const ViewerWidgets& w = v.widgets();
        QWidget* bar = w.progress->widget();
        auto* cancel = v.findChild<QPushButton*>("btnCancelConversion");
        QVERIFY(cancel && cancel->isHidden());
        QString caption;
        bool shown = false;
        QTimer poll;  // runs at each of the conversion's yields
        connect(&poll, &QTimer::timeout, &v, [&] {
            if (w.progress->value() <= 0 || !caption.isEmpty())
                return;
            caption = w.progress->text();
            const QCursor* cursor = QGuiApplication::overrideCursor();
            shown = cursor && cursor->shape() == Qt::BusyCursor && cancel->isVisible() &&
                    v.rect().contains(bar->geometry().united(cancel->geometry())) &&
                    cancel->x() > bar->geometry().right() && cancel->y() == bar->y() &&
                    bar->width() > bar->fontMetrics().horizontalAdvance(caption);
            if (escape) {
                QCOMPARE(v.focusWidget(), cancel);
                QTest::keyClick(v.focusWidget(), Qt::Key_Escape);
            } else {
                QTest::mouseClick(cancel, Qt::LeftButton);
            }
        });
        poll.start(0);
        Toolbar& ocr = *w.ocrToolbar;
        QTest::mouseClick(ocr.buttonWidget(ocr.position("OcrToFile")), Qt::LeftButton);
        poll.stop();

        QCOMPARE(caption, QString("Converting Document to out.txt..."));
        QVERIFY(shown);
        QCOMPARE(w.progress->value(), 10.0);  // the engine stopped after its first page
        QVERIFY(!QFileInfo::exists(out));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"ten.tif"});
        QVERIFY(factory->prompts->messages.isEmpty());
        QVERIFY(bar->isHidden() && cancel->isHidden() && !QGuiApplication::overrideCursor());
        QVERIFY(ocr.enabled("OcrToFile"));
        Toolbar& main = *w.mainToolbar;
        QTest::mouseClick(main.buttonWidget(main.position("NextPage")), Qt::LeftButton);
        QCOMPARE(w.statusBar->text("PageNumber"), QString("2 of 10"));
    }
};

QTEST_MAIN(TestConversion)
#include "tst_conversion.moc"
