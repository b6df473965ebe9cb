#include "viewer/conversion/documentconversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <QStringList>

#include <array>

#include "imaging/document.h"
#include "interfaces/componentfactory.h"
#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "platform/machinevalues.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "platform/viewererror.h"
#include "viewer/conversion/conversionprogress.h"
#include "viewer/conversion/engineerrortext.h"
#include "viewer/core/errors.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"
#include "viewer/session/documentsession.h"

namespace ktdv {

namespace {

// The save dialog's formats in the order of their engine codes: shown name, pattern.
constexpr std::array<std::array<const char*, 2>, 12> kExportFormats{{
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "Rich Text Format (*.rtf)"), "*.rtf"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "ANSI Text - Unformatted (*.txt)"), "*.txt"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "DOS Text - Unformatted (*.txt)"), "*.txt"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "Unicode Text - Unformatted (*.txt)"), "*.txt"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "Tabular Data Format (*.txt)"), "*.txt"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "DOS Text - Formatted (*.txt)"), "*.txt"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "Unicode Text - Formatted (*.txt)"), "*.txt"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "HTML (*.html)"), "*.html"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "PDF Text Only (*.pdf)"), "*.pdf"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "PDF Text on Image (*.pdf)"), "*.pdf"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "PDF Image on Text (*.pdf)"), "*.pdf"},
    {QT_TRANSLATE_NOOP("ktdv::DocumentConversion", "PDF with annotations (*.pdf)"), "*.pdf"},
}};
constexpr int kAnsiText = 2;
constexpr int kLastSharedCode = 7;  // dialog indexes above this skip engine code 8
constexpr int kMaxFileNameLength = 260;

// A viewer whose engine could not be created has its conversion buttons disabled; a
// conversion asked for all the same fails like a call on a missing object.
void requireEngine(const RecognitionEngine* engine) {
    if (!engine)
        throw ViewerError(
            91, QCoreApplication::translate("ktdv::ViewerError",
                                            "Object variable or With block variable not set"));
}

// The chosen name with the extension of the chosen format ("*.html" gives ".html") when the
// name has none.
QString withExtension(const QString& fileName, int filterIndex) {
    if (filterIndex < 1 || filterIndex > int(kExportFormats.size()) ||
        QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
        return fileName;
    const QString pattern = QLatin1String(kExportFormats[std::size_t(filterIndex - 1)][1]);
    return pattern.startsWith(QLatin1String("*.")) ? fileName + pattern.mid(1) : fileName;
}

// The save dialog's filter in the viewer's "Name|pattern|..." form, names translated.
QString exportFilter() {
    QStringList parts;
    for (const auto& [name, pattern] : kExportFormats)
        parts << QCoreApplication::translate("ktdv::DocumentConversion", name)
              << QLatin1String(pattern);
    return parts.join(QLatin1Char('|'));
}

QString engineMessage(const QString& prefix, int code) {
    return prefix + QString::number(code) + QStringLiteral(") - ") + EngineErrorText(code);
}

// Starts the progress bar for a whole-document conversion: the bar with its caption and
// Cancel button in the middle of the viewer, its range and the progress counters.
void setUpProgress(ConversionProgress& shown, ProgressBar& bar, const QString& caption,
                   int pageCount) {
    shown.begin(caption, ConversionProgress::Place::BelowMiddle, true);
    bar.setMin(0);
    bar.setMax(100);
    if (pageCount != 0) {
        moduleState().startProgress(100.0 / pageCount);
        bar.setValue(0);
    } else {
        bar.setValue(1);
        moduleState().startProgress(1.0);
        bar.setMax(1);
    }
    bar.repaint();
}

// A PDF document whose pages carry text is read, not recognised: the caption says so.
QString withTextLayerNote(const QString& caption, const QString& source, bool readTextLayers) {
    if (!readTextLayers || !DocumentSession::isPdfDocument(source))
        return caption;
    const auto doc = imaging::Document::open(source);
    if (!doc || doc->textLayer(0, imaging::kPdfDpi).isEmpty())
        return caption;
    return caption + QLatin1Char(' ') +
           QCoreApplication::translate("ktdv::DocumentConversion",
                                       "(text read from the PDF's text layer)");
}

}  // namespace

bool DocumentConversion::prepareEngine() {
    const bool read = !m_viewer.settings().readBool(settings::RecognizePdfText);
    m_engine->setReadTextLayers(read);
    return read;
}

DocumentConversion::DocumentConversion(ViewerControl& viewer)
    : m_viewer(viewer),
      m_progress(std::make_unique<ConversionProgress>(viewer, *viewer.widgets().progress, [this] {
          if (m_engine && m_engine->busy())
              m_engine->cancel();
      })) {}

DocumentConversion::~DocumentConversion() = default;

int DocumentConversion::startEngine(ComponentFactory& factory, MachineValues& machine) {
    m_engine = factory.createRecognitionEngine();
    if (!m_engine)
        throw ViewerError(429, QCoreApplication::translate("ktdv::ViewerError",
                                                           "Cannot create the component object"));
    m_engine->setProgressHandler([this](int arg) { runUntrapped([&] { Engine_Progress(arg); }); });

    const QString sep = machine.separator();
    QString folder = machine.appPath(QStringLiteral("Brackwater"));
    if (folder == QLatin1String("ERROR"))
        folder = machine.appPath(QStringLiteral("Selvagard"));
    const auto hasDoZed = [&sep](const QString& f) {
        return QFileInfo::exists(f + sep + QStringLiteral("doZed"));
    };
    if (folder == QLatin1String("ERROR") || !hasDoZed(folder)) {
        for (const QString& fallback : machine.fallbackFolders()) {
            if (hasDoZed(fallback)) {
                folder = fallback;
                break;
            }
        }
    }
    if (!folder.trimmed().endsWith(sep))
        folder += sep;
    m_engineFolder = folder;
    return m_engine->initialise(folder);
}

bool DocumentConversion::engineBusy() const {
    return m_starting || (m_engine && m_engine->busy());
}

void DocumentConversion::Engine_Progress(int arg) {
    Q_UNUSED(arg)
    m_viewer.widgets().progress->setValue(moduleState().advanceProgress());
    QCoreApplication::processEvents();
}

void DocumentConversion::ConvertDocumentToFile() {
    const ViewerWidgets& w = m_viewer.widgets();
    requireEngine(m_engine.get());
    if (engineBusy())
        return;
    FileDialogRequest request;
    request.save = true;
    request.filter = exportFilter();
    request.title =
        QCoreApplication::translate("ktdv::DocumentConversion", "Convert Document to File");
    request.fileName = QString();
    request.filterIndex = kAnsiText;
    request.maxFileNameLength = 0;  // checked below, once the extension is added
    PromptService& prompts = m_viewer.prompts();
    const FileDialogResult result = prompts.fileDialog(&m_viewer, request);
    int filterIndex = result.filterIndex;
    if (filterIndex > kLastSharedCode)
        filterIndex += 1;
    if (result.fileName.isEmpty())
        return;
    const QString target = withExtension(result.fileName, result.filterIndex);
    if (target.size() > kMaxFileNameLength) {
        prompts.message(&m_viewer,
                        QCoreApplication::translate("ktdv::DocumentConversion",
                                                    "The file name is longer than %1 characters. "
                                                    "Choose a shorter name or folder.")
                            .arg(kMaxFileNameLength));
        return;
    }
    // The dialog asked about replacing the name it was given, not the one made here.
    if (target != result.fileName && QFileInfo::exists(target) &&
        !prompts.question(
            &m_viewer, request.title,
            QCoreApplication::translate("ktdv::DocumentConversion",
                                        "%1 already exists.\nDo you want to replace it?")
                .arg(QDir::toNativeSeparators(target)),
            true))
        return;
    int code = RecognitionEngine::Cancelled;
    {
        const ConversionProgress::Running running(*m_progress);
        setUpProgress(*m_progress, *w.progress,
                      withTextLayerNote(QCoreApplication::translate("ktdv::DocumentConversion",
                                                                    "Converting Document to %1...")
                                            .arg(QFileInfo(target).fileName()),
                                        w.editor->document().imagePath(), prepareEngine()),
                      w.editor->document().pageCount());
        {
            const QScopedValueRollback<bool> starting(m_starting, true);
            QCoreApplication::processEvents();
        }
        const QString source = w.editor->document().imagePath();
        if (!m_progress->cancelRequested())
            code = m_engine->convert(source, target, RecognitionEngine::DestinationFile,
                                     static_cast<qint16>(filterIndex));
    }
    if (code != 0 && code != RecognitionEngine::Cancelled)
        prompts.message(&m_viewer,
                        engineMessage(QCoreApplication::translate("ktdv::DocumentConversion",
                                                                  "ZidaDodi Error: ("),
                                      code));
    w.progress->widget()->hide();
}

void DocumentConversion::ConvertDocumentToClipboard() {
    const ViewerWidgets& w = m_viewer.widgets();
    requireEngine(m_engine.get());
    if (engineBusy())
        return;
    int code = 0;
    {
        const ConversionProgress::Running running(*m_progress);
        setUpProgress(*m_progress, *w.progress,
                      withTextLayerNote(QCoreApplication::translate("ktdv::DocumentConversion",
                                                                    "Converting Document to "
                                                                    "Clipboard..."),
                                        w.editor->document().imagePath(), prepareEngine()),
                      w.editor->document().pageCount());
        const QString source = w.editor->document().imagePath();
        code = m_engine->convert(source, QStringLiteral("notused"),
                                 RecognitionEngine::DestinationClipboard, kAnsiText);
    }
    if (code != 0 && code != RecognitionEngine::Cancelled)
        m_viewer.prompts().message(
            &m_viewer, engineMessage(QCoreApplication::translate("ktdv::DocumentConversion",
                                                                 "ZidaDodi Error (Clipboard): ("),
                                     code));
    w.progress->widget()->hide();
}

}  // namespace ktdv
