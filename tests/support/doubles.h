#pragma once
// Recording doubles of the viewer's hosted components and a factory that hands them to
// a viewer. Each double records the calls that change something, in order, as text
// ("setImagePath(/tmp/a.tif)", "clearImage", "zoomTo(IN,100)"), and answers from fields
// the test sets beforehand.

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

#include "interfaces/componentfactory.h"
#include "interfaces/imageeditor.h"
#include "interfaces/progressbar.h"
#include "interfaces/recognitionengine.h"
#include "interfaces/thumbnailpane.h"
#include "platform/machinevalues.h"
#include "platform/printerstatus.h"

namespace ktdv::test {

class ScriptedPromptService;

// One object plays every role of the editor, so the calls of all roles land in one list.
class RecordingEditor final : public ImageEditor,
                              public EditorDocument,
                              public EditorView,
                              public EditorAnnotations,
                              public EditorPointer {
public:
    explicit RecordingEditor(QWidget* parent) : m_widget(new QWidget(parent)) {}
    ~RecordingEditor() override { delete m_widget; }

    // Documents the editor can load: path -> page count. Any other path fails to load.
    QHash<QString, int> documents;
    // Attribute letters per path ("A" when not listed).
    QHash<QString, QString> attributes;
    bool annotationLoadResult = true;
    bool isBusy = false;
    bool horizontalScrollBar = false;
    // When set, the call with this name throws ViewerError(throwNumber, throwText).
    QString throwOn;
    int throwNumber = 5;
    QString throwText = QStringLiteral("Invalid procedure call or argument");

    QStringList calls;
    int zoom = 0;  // current percent, 0 without an image

    // Annotation commands with the record and the style flags, in order.
    struct AnnotationCall {
        QString command;
        AnnotationRecord record;
        bool filled = false, highlight = false;
    };
    QList<AnnotationCall> annotationCalls;
    // What pointerClipped, clippedX and clippedY answer.
    bool clipped = false;
    qint32 clipX = 0, clipY = 0;
    // Rubber band and pan calls with their arguments, e.g. "draw(30,45,0,10,255,true)",
    // "start(30,45)", "end(60,90)", "clear", "startPan(2,3)", "panTo(4,6)", "endPan".
    QStringList strokes;

    QWidget* widget() override { return m_widget; }
    EditorDocument& document() override { return *this; }
    EditorView& view() override { return *this; }
    EditorAnnotations& annotations() override { return *this; }
    EditorPointer& pointer() override { return *this; }
    QString imagePath() const override { return m_path; }
    void setImagePath(const QString& path) override;
    int pageIndex() const override { return m_page; }
    void setPageIndex(int index) override;
    int pageCount() const override { return m_count; }
    void setNavigateTo(const QString& where) override;
    QString navigateTo() const override { return m_navigate; }
    void setTool(const QString& tool) override;
    QString tool() const override { return m_tool; }
    void setZoomFactor(const QString& step) override;
    QString zoomFactor() const override;
    void setZoomPercent(int percent) override;
    int zoomPercent() const override { return zoom; }
    void zoomTo(const QString& direction, int percent) override;
    void fitWidth() override { record(QStringLiteral("fitWidth")); }
    void fitHeight() override { record(QStringLiteral("fitHeight")); }
    void zoomToRegion(qint32, qint32, qint32, qint32) override { record("zoomToRegion"); }
    bool busy() const override { return isBusy; }
    bool hScrollVisible() const override { return horizontalScrollBar; }
    void clearImage() override;
    void syncView() override { record(QStringLiteral("syncView")); }
    void refresh() override { record(QStringLiteral("refresh")); }
    void updateLayout() override { record(QStringLiteral("updateLayout")); }
    void rotateLeft() override { record(QStringLiteral("rotateLeft")); }
    void rotateRight() override { record(QStringLiteral("rotateRight")); }
    void flip() override { record(QStringLiteral("flip")); }
    bool savePageChanges(int pageIndex, int pageCount) override;
    QString getFileAttributes(const QString& path) override;
    void resetDocument(int flags) override {
        record(QStringLiteral("resetDocument(%1)").arg(flags));
    }
    void releaseImage() override { record(QStringLiteral("releaseImage")); }
    bool annotationCommand(const QString& command, AnnotationRecord& record, int option,
                           const QString& path, int page, int x, int y, bool filled,
                           bool highlight) override;
    std::array<qint32, 4> hitRect() const override { return {0, 0, 0, 0}; }
    void stampProperties() override { record(QStringLiteral("stampProperties")); }
    void rectangleProperties() override { record(QStringLiteral("rectangleProperties")); }
    void highlightProperties() override { record(QStringLiteral("highlightProperties")); }
    void showSettings() override { record(QStringLiteral("showSettings")); }
    void printDocument(bool& printAnnotations) override;
    void setMouseHandlers(MouseHandler, MouseHandler, MouseHandler) override {}
    void startRubberBand(float x, float y) override;
    void drawRubberBand(float x, float y, int style, int mode, qint32 colour, bool filled) override;
    void endRubberBand(float x, float y) override;
    void clearRubberBand() override;
    void startPan(int x, int y) override;
    void panTo(int x, int y) override;
    void endPan() override;
    bool pointerClipped() const override { return clipped; }
    qint32 clippedX() const override { return clipX; }
    qint32 clippedY() const override { return clipY; }
    int copyRegion(int, int, int, int, QString&, bool) override { return 1; }
    RegionRect mapRegion(int, int, int, int) override { return {}; }
    void setViewLeft(qint32 v) override { m_viewLeft = v; }
    qint32 viewLeft() const override { return m_viewLeft; }
    void setViewTop(qint32 v) override { m_viewTop = v; }
    qint32 viewTop() const override { return m_viewTop; }

private:
    void record(const QString& call);

    QPointer<QWidget> m_widget;
    QString m_path;
    int m_page = 0;
    int m_count = 0;
    QString m_tool = QStringLiteral("Default");
    QString m_navigate = QStringLiteral("0");
    qint32 m_viewLeft = 0, m_viewTop = 0;
};

class RecordingThumbnails final : public ThumbnailPane {
public:
    explicit RecordingThumbnails(QWidget* parent) : m_widget(new QWidget(parent)) {}
    ~RecordingThumbnails() override { delete m_widget; }

    qint16 selected = 0;
    qint16 range = 1;
    QStringList calls;
    qint32 first = 0;
    int current = -1;

    QWidget* widget() override { return m_widget; }
    void loadDocument(const QString& path) override { record("loadDocument(" + path + ')'); }
    void clearThumbnails() override { record(QStringLiteral("clearThumbnails")); }
    void reloadThumbnails() override { record(QStringLiteral("reloadThumbnails")); }
    void redraw() override { record(QStringLiteral("redraw")); }
    void arrange(bool flag) override { record(flag ? "arrange(true)" : "arrange(false)"); }
    void setFirstPage(qint32 page) override {
        record(QStringLiteral("setFirstPage(%1)").arg(page));
        first = page;
    }
    qint32 firstPage() const override { return first; }
    void setScrollPosition(qint16 position) override {
        record(QStringLiteral("setScrollPosition(%1)").arg(position));
    }
    void setViewHeight(float height) override {
        record(QStringLiteral("setViewHeight(%1)").arg(double(height)));
    }
    qint16 selectedIndex() const override { return selected; }
    qint16 scrollRange() const override { return range; }
    void setCurrentPage(int page) override { current = page; }
    void setHandlers(Handlers) override {}

private:
    void record(const QString& call) { calls.append(call); }
    QPointer<QWidget> m_widget;
};

class RecordingProgressBar final : public ProgressBar {
public:
    explicit RecordingProgressBar(QWidget* parent) : m_widget(new QWidget(parent)) {
        m_widget->resize(200, 20);
    }
    ~RecordingProgressBar() override { delete m_widget; }
    QList<double> values;
    QWidget* widget() override { return m_widget; }
    void setMin(qint16 v) override { m_min = v; }
    qint16 min() const override { return m_min; }
    void setMax(qint16 v) override { m_max = v; }
    qint16 max() const override { return m_max; }
    void setValue(double v) override { values.append(v); }
    double value() const override { return values.isEmpty() ? 0 : values.last(); }
    void setText(const QString& text) override { m_text = text; }
    QString text() const override { return m_text; }
    void repaint() override {}

private:
    QPointer<QWidget> m_widget;
    qint16 m_min = 0, m_max = 100;
    QString m_text;
};

class RecordingEngine final : public RecognitionEngine {
public:
    int initialiseResult = 0;
    QString receivedFolder;
    int convertResult = 0;
    QStringList calls;
    int initialise(QString& folder) override;
    int convert(const QString& source, const QString& target, int destination, int format) override;
};

class FixedMachineValues final : public MachineValues {
public:
    QHash<QString, QString> appPaths;  // product -> folder; "ERROR" when absent
    QStringList fallbacks;
    QString appPath(const QString& product) const override {
        return appPaths.value(product, QStringLiteral("ERROR"));
    }
    QStringList fallbackFolders() const override { return fallbacks; }
};

class FixedPrinterStatus final : public PrinterStatus {
public:
    QString answer = QStringLiteral("Ready");
    QString status() const override { return answer; }
};

// Serves the text the test gives for each page, a page per turn of the event loop after it
// was asked for, and counts what was asked for.
class ScriptedPageText final : public QObject, public PageTextProvider {
public:
    QHash<int, PageText> pages;  // pages 0 to size() - 1; requestAll asks for those
    bool held = false;           // nothing comes until a request after it is cleared
    QList<int> asked;            // every page asked for, in order, requestAll's included
    void setDocument(const QString& path) override {
        m_path = path;
        m_queue.clear();
        m_known.clear();
    }
    QString document() const override { return m_path; }
    void request(const QVector<int>& pageIndexes) override;
    void requestAll(int firstIndex) override;
    void cancel() override { m_queue.clear(); }
    bool pageText(int pageIndex, PageText& text) const override;
    int pendingCount() const override { return int(m_queue.size()); }

private:
    void deliverLater();
    QString m_path;
    QList<int> m_queue;
    QList<int> m_known;
};

// Hands out the doubles; keeps pointers to the last ones created for the test to use.
class DoubleFactory final : public ComponentFactory {
public:
    DoubleFactory();
    RecordingEditor* editor = nullptr;
    RecordingThumbnails* thumbs = nullptr;
    RecordingProgressBar* bar = nullptr;
    RecordingEngine* engine = nullptr;
    ScriptedPageText* pageText = nullptr;
    bool offerPageText = false;      // createPageTextProvider makes one
    bool engineFails = false;        // createRecognitionEngine throws
    int engineInitialiseResult = 0;  // for the next engine created
    std::shared_ptr<ScriptedPromptService> prompts;
    std::shared_ptr<SettingsStore> settings;
    std::shared_ptr<FixedMachineValues> machine;
    std::shared_ptr<FixedPrinterStatus> printer;

    std::unique_ptr<ImageEditor> createImageEditor(QWidget* parent) override;
    std::unique_ptr<ThumbnailPane> createThumbnailPane(QWidget* parent) override;
    std::unique_ptr<ProgressBar> createProgressBar(QWidget* parent) override;
    std::unique_ptr<RecognitionEngine> createRecognitionEngine() override;
    std::unique_ptr<PageTextProvider> createPageTextProvider() override;
    std::shared_ptr<PromptService> promptService() override;
    std::shared_ptr<SettingsStore> settingsStore() override { return settings; }
    std::shared_ptr<MachineValues> machineValues() override { return machine; }
    std::shared_ptr<PrinterStatus> printerStatus() override { return printer; }
};

// Entries of a call list that start with one of the prefixes, in order.
QStringList only(const QStringList& calls, const QStringList& prefixes);

}  // namespace ktdv::test
