// Recognising the whole document into a file or onto the clipboard, with the progress
// bar driven by the engine's progress events.
#include <QCoreApplication>

#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "viewer/core/viewercontrol.h"
#include "platform/promptservice.h"
#include "platform/viewererror.h"
#include "viewer/recognition/engineerrortext.h"

namespace ktdv {

namespace {

const QString kExportFilter = QStringLiteral(
    "Rich Text Format (*.rtf)|*.rtf|"
    "ANSI Text - Unformatted (*.txt)|*.txt|"
    "DOS Text - Unformatted (*.txt)|*.txt|"
    "Unicode Text - Unformatted (*.txt)|*.txt|"
    "Tabular Data Format (*.txt)|*.txt|"
    "DOS Text - Formatted (*.txt)|*.txt|"
    "Unicode Text - Formatted (*.txt)|*.txt|"
    "HTML (*.html)|*.html|"
    "PDF Text Only (*.pdf)|*.pdf|"
    "PDF Text on Image (*.pdf)|*.pdf|"
    "PDF Image on Text (*.pdf)|*.pdf");
constexpr int kAnsiText = 2;
constexpr int kLastSharedCode = 7;  // dialog indexes above this skip engine code 8

// A viewer whose engine could not be created has its conversion buttons disabled; a
// conversion asked for all the same fails like a call on a missing object.
void requireEngine(const RecognitionEngine* engine) {
    if (!engine)
        throw ViewerError(91, QStringLiteral("Object variable or With block variable not set"));
}

QString engineMessage(const QString& prefix, int code) {
    return prefix + QString::number(code) + QStringLiteral(") - ") + EngineErrorText(code);
}

}  // namespace

namespace {

// Positions and starts the progress bar for a whole-document conversion.
void setUpProgress(QWidget& viewer, ProgressBar& bar, int pageCount) {
    QWidget* w = bar.widget();
    const float top = static_cast<float>(viewer.height()) / 2.0f;
    const float left =
        static_cast<float>(viewer.width()) / 2.0f - static_cast<float>(w->width()) / 2.0f;
    w->move(static_cast<int>(left), static_cast<int>(top));
    bar.setMin(0);
    bar.setMax(100);
    ViewerModuleState& g = moduleState();
    if (pageCount != 0) {
        g.ProgressStep = 100.0 / pageCount;
        bar.setValue(0);
    } else {
        bar.setValue(1);
        g.ProgressStep = 1.0;
        bar.setMax(1);
    }
    g.ProgressPosition = 0.0;
    w->show();
    w->raise();
    bar.repaint();
}

}  // namespace

void ViewerControl::Engine_Progress(int arg) {
    Q_UNUSED(arg)
    ViewerModuleState& g = module();
    g.ProgressPosition += g.ProgressStep;
    ProgressBar1->setValue(g.ProgressPosition);
    QCoreApplication::processEvents();
}

void ViewerControl::ConvertDocumentToFile() {
    requireEngine(m_engine.get());
    FileDialogRequest request;
    request.save = true;
    request.filter = kExportFilter;
    request.title = QStringLiteral("Convert Document to File");
    request.fileName = QString();
    request.filterIndex = kAnsiText;
    const FileDialogResult result = m_prompts->fileDialog(this, request);
    int filterIndex = result.filterIndex;
    if (filterIndex > kLastSharedCode)
        filterIndex += 1;
    if (result.fileName.isEmpty())
        return;
    setUpProgress(*this, *ProgressBar1, ctlKTImgEdit1->pageCount());
    QCoreApplication::processEvents();
    const QString source = ctlKTImgEdit1->imagePath();
    const int code = m_engine->convert(source, result.fileName, RecognitionEngine::DestinationFile,
                                       static_cast<qint16>(filterIndex));
    if (code != 0)
        m_prompts->message(this, engineMessage(QStringLiteral("ZidaDodi Error: ("), code));
    ProgressBar1->widget()->hide();
}

void ViewerControl::ConvertDocumentToClipboard() {
    requireEngine(m_engine.get());
    setUpProgress(*this, *ProgressBar1, ctlKTImgEdit1->pageCount());
    const QString source = ctlKTImgEdit1->imagePath();
    const int code = m_engine->convert(source, QStringLiteral("notused"),
                                       RecognitionEngine::DestinationClipboard, kAnsiText);
    if (code != 0)
        m_prompts->message(this,
                           engineMessage(QStringLiteral("ZidaDodi Error (Clipboard): ("), code));
    ProgressBar1->widget()->hide();
}

}  // namespace ktdv
