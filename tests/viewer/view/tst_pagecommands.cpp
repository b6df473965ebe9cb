// Printing from the toolbar, on recording doubles and, with no printer, on the real
// components; the settings dialog worked with mouse and keys (zooming: tst_viewerreal,
// tst_pageview).
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "platform/printerqueue.h"
#include "support/fixtures.h"
#include "support/realfactory.h"
#include "support/viewerharness.h"

using namespace ktdv;
using namespace ktdv::test;

namespace {

// The viewer on the real components, shown, with a three-page document open.
std::unique_ptr<ViewerControl> openReal(std::shared_ptr<RealFactory> factory, const QString& path) {
    moduleState() = ViewerModuleState();
    auto v = std::make_unique<ViewerControl>(factory);
    v->resize(900, 700);
    v->show();
    v->OpenImage(writeTiff(path, 3));
    return v;
}

void click(ViewerControl& v, const char* key) {
    Toolbar& bar = *v.widgets().mainToolbar;
    QTest::mouseClick(bar.buttonWidget(bar.position(key)), Qt::LeftButton);
}

}  // namespace

class TestPageCommands : public QObject {
    Q_OBJECT
private slots:
    void print_data() {
        // printed: "" = nothing printed
        columns<bool, bool, int, bool, QString, QString>(
            "document", "switchEnabled", "switchClicks", "busy", "printer", "printed");
        addRow("with annotations", true, true, 0, false, "Ready", "true");
        addRow("switch off", true, true, 1, false, "Ready", "false");
        addRow("editor busy", true, true, 0, true, "Ready", "");
        addRow("printer busy", true, true, 0, false, "Busy", "");
    }
    void print() {
        auto [document, switchEnabled, switchClicks, busy, printer, printed] =
            fetch<bool, bool, int, bool, QString, QString>(
                "document", "switchEnabled", "switchClicks", "busy", "printer", "printed");
        ViewerHarness h;
        h.factory->printer->answer = printer;
        if (document)
            h.load(h.document("a.tif", 3), 1);
        h.ocr().setEnabled("PrintAnnotations", true);
        for (int i = 0; i < switchClicks; ++i)
            h.viewer->OcrToolbar_ButtonClick("PrintAnnotations");
        QCOMPARE(h.ocr().image("PrintAnnotations"), switchClicks % 2 ? 13 : 12);
        h.ocr().setEnabled("PrintAnnotations", switchEnabled);
        h.editor().isBusy = busy;
        h.editor().calls.clear();
        h.viewer->MainToolbar_ButtonClick("Print");
        QCOMPARE(only(h.editor().calls, {"printDocument"}),
                 printed.isEmpty() ? QStringList() : QStringList{"printDocument(" + printed + ")"});
        // After printing the same page is loaded again.
        QCOMPARE(h.editor().calls.contains("setPageIndex(1)"), !printed.isEmpty());
    }
    // With no printer set up, Print says so and offers no print dialog.
    void printWithoutPrinter() {
        QTemporaryDir dir;
        auto factory = std::make_shared<RealFactory>();
        factory->printer = createPrinterStatus([] { return PrinterQueueState(); });
        click(*openReal(factory, dir.filePath("a.tif")), "Print");
        QCOMPARE(factory->prompts->messages,
                 QStringList{"The document was not printed: no printer is set up."});
        QVERIFY(factory->prompts->dialogs.isEmpty());
    }

    // Every choice of the settings dialog is written through its key on OK (nothing on
    // Escape), and the viewer follows the default zoom and the thumbnails at once.
    void settingsDialog_data() {
        columns<bool>("accept");
        addRow("OK", true);
        addRow("Escape", false);
    }
    void settingsDialog() {
        auto [accept] = fetch<bool>("accept");
        QTemporaryDir dir;
        auto factory = std::make_shared<RealFactory>();
        const auto v = openReal(factory, dir.filePath("a.tif"));
        factory->prompts->dialogScripts = {
            [accept = accept](QDialog* d) {
                for (int i = 0; i < 6; ++i)  // from 100 % to "Fit Width"
                    QTest::keyClick(d->findChild<QComboBox*>("gStepInOut"), Qt::Key_Down);
                for (const char* key :
                     {"pageViewSmooth", "bThumbs", "chkSaveTIF", "pdfRecognizeText"}) {
                    QCheckBox* box = d->findChild<QCheckBox*>(key);
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
                }
                QTest::keyClick(d->findChild<QComboBox*>("intRect"), Qt::Key_Down);
                QTest::keyClicks(d->findChild<QComboBox*>("StampType"), "R");  // "Received"
                QTest::mouseClick(d->findChild<QPushButton*>("highColor"), Qt::LeftButton);
                QSpinBox* size = d->findChild<QSpinBox*>("stampFontSize");
                QTest::keyClick(size, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(size, "24");
                QTest::keyClick(d, accept ? Qt::Key_Return : Qt::Key_Escape);
            },
            [](QDialog* picker) {
                static_cast<QColorDialog*>(picker)->setCurrentColor(Qt::red);
                picker->accept();
            }};
        click(*v, "Viewer Settings");

        QStringList stored;  // but "bReadOnly", which every page load writes
        for (const settings::Setting& s : settings::all)
            if (factory->settings->contains(s.key) && s.key != QLatin1String("bReadOnly"))
                stored << QString(s.key) + '=' + factory->settings->value(s.key);
        QCOMPARE(stored.join(' '), accept ? QString("bThumbs=True chkSaveTIF=1 intRect=2 "
                                                    "StampType=3 rectFillColor=16711680 "
                                                    "rectBorderColor=255 highColor=255 "
                                                    "stampColor=255 stampFontSize=24 "
                                                    "gStepInOut=12 pageViewSmooth=False "
                                                    "pdfRecognizeText=True")
                                          : QString());
        const ViewerWidgets& w = v->widgets();
        QCOMPARE(w.statusBar->text("ZoomFactor"), QString(accept ? "Fit Width" : "100 %"));
        QCOMPARE(w.thumbs->widget()->isVisible() && w.tabPages->isVisible(), accept);
    }
};

QTEST_MAIN(TestPageCommands)
#include "tst_pagecommands.moc"
