#include "support/doubles.h"

#include <QTimer>

#include "platform/settingsstore.h"
#include "platform/viewererror.h"
#include "support/scriptedprompts.h"

namespace ktdv::test {

namespace {
QString flag(bool b) {
    return b ? QStringLiteral("true") : QStringLiteral("false");
}
}  // namespace

// --- ScriptedPageText ----------------------------------------------------------------

void ScriptedPageText::request(const QVector<int>& pageIndexes) {
    asked += pageIndexes;
    for (int page : pageIndexes)
        if (!m_known.contains(page) && !m_queue.contains(page))
            m_queue.append(page);
    deliverLater();
}

void ScriptedPageText::requestAll(int firstIndex) {
    QVector<int> all;
    for (int page = 0; page < pages.size(); ++page)
        all.append((firstIndex + page) % int(pages.size()));
    request(all);
}

bool ScriptedPageText::pageText(int pageIndex, PageText& text) const {
    text = pages.value(pageIndex);
    return m_known.contains(pageIndex);
}

void ScriptedPageText::deliverLater() {
    QTimer::singleShot(0, this, [this] {
        if (held || m_queue.isEmpty())
            return;
        m_known.append(m_queue.first());
        onPageReady()(m_queue.takeFirst());
        deliverLater();
    });
}

QStringList only(const QStringList& calls, const QStringList& prefixes) {
    QStringList out;
    for (const QString& c : calls)
        for (const QString& p : prefixes)
            if (c.startsWith(p)) {
                out.append(c);
                break;
            }
    return out;
}

// --- RecordingEditor ---------------------------------------------------------------

void RecordingEditor::record(const QString& call) {
    calls.append(call);
    const QString name = call.left(call.indexOf(QLatin1Char('(')));
    if (!throwOn.isEmpty() && name == throwOn)
        throw ViewerError(throwNumber, throwText);
}

void RecordingEditor::setImagePath(const QString& path) {
    record(QStringLiteral("setImagePath(") + path + QLatin1Char(')'));
    if (documents.contains(path)) {
        m_path = path;
        m_count = documents.value(path);
        zoom = 100;
        if (m_page >= m_count)
            m_page = 0;
    } else {
        m_path.clear();
        m_count = 0;
    }
}

void RecordingEditor::setPageIndex(int index) {
    record(QStringLiteral("setPageIndex(") + QString::number(index) + QLatin1Char(')'));
    m_page = index;
}

void RecordingEditor::setNavigateTo(const QString& where) {
    record(QStringLiteral("setNavigateTo(") + where + QLatin1Char(')'));
    int target = m_page;
    if (where == QLatin1String("FirstPage"))
        target = 0;
    else if (where == QLatin1String("PreviousPage"))
        target = qMax(0, m_page - 1);
    else if (where == QLatin1String("NextPage"))
        target = qMin(qMax(0, m_count - 1), m_page + 1);
    else if (where == QLatin1String("LastPage"))
        target = qMax(0, m_count - 1);
    m_navigate = QString::number(target);
}

void RecordingEditor::setTool(const QString& tool) {
    record(QStringLiteral("setTool(") + tool + QLatin1Char(')'));
    m_tool = tool;
}

void RecordingEditor::setZoomFactor(const QString& step) {
    record(QStringLiteral("setZoomFactor(") + step + QLatin1Char(')'));
    if (m_path.isEmpty())
        return;
    zoom = step == QLatin1String("IN") ? zoom + 25 : qMax(5, zoom - 25);
}

QString RecordingEditor::zoomFactor() const {
    return m_path.isEmpty() ? QStringLiteral("0") : QString::number(zoom);
}

void RecordingEditor::setZoomPercent(int percent) {
    record(QStringLiteral("setZoomPercent(") + QString::number(percent) + QLatin1Char(')'));
    zoom = percent;
}

void RecordingEditor::zoomTo(const QString& direction, int percent) {
    record(QStringLiteral("zoomTo(") + direction + QLatin1Char(',') + QString::number(percent) +
           QLatin1Char(')'));
    zoom = percent;
}

void RecordingEditor::clearImage() {
    record(QStringLiteral("clearImage"));
    m_path.clear();
    m_count = 0;
}

bool RecordingEditor::savePageChanges(int pageIndex, int pageCount) {
    record(QStringLiteral("savePageChanges(") + QString::number(pageIndex) + QLatin1Char(',') +
           QString::number(pageCount) + QLatin1Char(')'));
    return true;
}

QString RecordingEditor::getFileAttributes(const QString& path) {
    record(QStringLiteral("getFileAttributes(") + path + QLatin1Char(')'));
    return attributes.value(path, QStringLiteral("A"));
}

bool RecordingEditor::annotationCommand(const QString& command, AnnotationRecord& rec, int option,
                                        const QString& path, int page, int x, int y, bool filled,
                                        bool highlight) {
    record(QStringLiteral("annotationCommand(") + command + QLatin1Char(',') +
           QString::number(option) + QLatin1Char(',') + path + QLatin1Char(',') +
           QString::number(page) + QLatin1Char(')'));
    Q_UNUSED(x);
    Q_UNUSED(y);
    annotationCalls.append({command, rec, filled, highlight});
    return command != QLatin1String("load") || annotationLoadResult;
}

namespace {
QString number(float v) {
    return QString::number(static_cast<double>(v));
}
}  // namespace

void RecordingEditor::startRubberBand(float x, float y) {
    strokes.append(QStringLiteral("start(%1,%2)").arg(number(x), number(y)));
    record(QStringLiteral("startRubberBand"));
}

void RecordingEditor::drawRubberBand(float x, float y, int style, int mode, qint32 colour,
                                     bool filled) {
    strokes.append(QStringLiteral("draw(%1,%2,%3,%4,%5,%6)")
                       .arg(number(x), number(y))
                       .arg(style)
                       .arg(mode)
                       .arg(colour)
                       .arg(flag(filled)));
    record(QStringLiteral("drawRubberBand"));
}

void RecordingEditor::endRubberBand(float x, float y) {
    strokes.append(QStringLiteral("end(%1,%2)").arg(number(x), number(y)));
    record(QStringLiteral("endRubberBand"));
}

void RecordingEditor::clearRubberBand() {
    strokes.append(QStringLiteral("clear"));
    record(QStringLiteral("clearRubberBand"));
}

void RecordingEditor::startPan(int x, int y) {
    strokes.append(QStringLiteral("startPan(%1,%2)").arg(x).arg(y));
    record(QStringLiteral("startPan"));
}

void RecordingEditor::panTo(int x, int y) {
    strokes.append(QStringLiteral("panTo(%1,%2)").arg(x).arg(y));
    record(QStringLiteral("panTo"));
}

void RecordingEditor::endPan() {
    strokes.append(QStringLiteral("endPan"));
    record(QStringLiteral("endPan"));
}

void RecordingEditor::printDocument(bool& printAnnotations) {
    record(QStringLiteral("printDocument(") + flag(printAnnotations) + QLatin1Char(')'));
}

// --- RecordingEngine ---------------------------------------------------------------

int RecordingEngine::initialise(QString& folder) {
    receivedFolder = folder;
    return initialiseResult;
}

int RecordingEngine::convert(const QString& source, const QString& target, int destination,
                             int format) {
    calls.append(QStringLiteral("convert(") + source + QLatin1Char(',') + target +
                 QLatin1Char(',') + QString::number(destination) + QLatin1Char(',') +
                 QString::number(format) + QLatin1Char(')'));
    return convertResult;
}

// --- DoubleFactory -----------------------------------------------------------------

DoubleFactory::DoubleFactory()
    : prompts(std::make_shared<ScriptedPromptService>()),
      settings(createMemorySettingsStore()),
      machine(std::make_shared<FixedMachineValues>()),
      printer(std::make_shared<FixedPrinterStatus>()) {}

std::unique_ptr<ImageEditor> DoubleFactory::createImageEditor(QWidget* parent) {
    auto e = std::make_unique<RecordingEditor>(parent);
    editor = e.get();
    return e;
}

std::unique_ptr<ThumbnailPane> DoubleFactory::createThumbnailPane(QWidget* parent) {
    auto t = std::make_unique<RecordingThumbnails>(parent);
    thumbs = t.get();
    return t;
}

std::unique_ptr<ProgressBar> DoubleFactory::createProgressBar(QWidget* parent) {
    auto b = std::make_unique<RecordingProgressBar>(parent);
    bar = b.get();
    return b;
}

std::unique_ptr<RecognitionEngine> DoubleFactory::createRecognitionEngine() {
    if (engineFails)
        throw ViewerError(429, QStringLiteral("Cannot create the component object"));
    auto e = std::make_unique<RecordingEngine>();
    e->initialiseResult = engineInitialiseResult;
    engine = e.get();
    return e;
}

std::unique_ptr<PageTextProvider> DoubleFactory::createPageTextProvider() {
    auto provider = offerPageText ? std::make_unique<ScriptedPageText>() : nullptr;
    pageText = provider.get();
    return provider;
}

std::shared_ptr<PromptService> DoubleFactory::promptService() {
    return prompts;
}

}  // namespace ktdv::test
