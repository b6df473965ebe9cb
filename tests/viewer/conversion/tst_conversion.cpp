// Whole-document conversion from the viewer: the save dialog, the format passed to the
// engine, the progress bar and the messages for engine failures.

#include <QtTest>

#include "support/viewerharness.h"

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
        // chosen: "" = the dialog was cancelled; format: passed to the engine; 0 = no call
        columns<QString, int, int, int, QString>("chosen", "filterIndex", "result", "format",
                                                 "message");
        addRow("preselected ANSI text", "out.txt", 2, 0, 2, QString());
        addRow("cancelled", "", 2, 0, 0, QString());
        addRow("export file cannot be opened", "out.txt", 2, -12, 2,
               QString("ZidaDodi Error: (-12) - Failed to open export file"));
    }
    void toFile() {
        auto [chosen, filterIndex, result, format, message] =
            fetch<QString, int, int, int, QString>("chosen", "filterIndex", "result", "format",
                                                   "message");
        ViewerHarness h;
        const QString doc = h.document("scan.tif", 4);
        h.viewer->OpenImage(doc);
        h.factory->engine->convertResult = result;
        const QString target = chosen.isEmpty() ? QString() : h.dir.filePath(chosen);
        h.prompts().fileAnswers.append({target, filterIndex});

        h.viewer->OcrToolbar_ButtonClick(QStringLiteral("OcrToFile"));

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
};

QTEST_MAIN(TestConversion)
#include "tst_conversion.moc"
