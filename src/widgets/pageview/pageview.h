#pragma once
// The page view: one page of a document, scaled for the screen, with the rubber band and
// hand scrolling the viewer drives. Implements ImageEditor.
//
// Threads: the widget and every member live on the UI thread. Decoding of neighbouring
// pages runs on Qt's global thread pool and only fills the shared page cache.

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QTransform>

#include <memory>
#include <vector>

#include "imaging/annotationstore.h"
#include "imaging/pagecache.h"
#include "interfaces/imageeditor.h"
#include "widgets/pageview/pageannotations.h"

class QPainter;
class QPlainTextEdit;

namespace ktdv {

class PromptService;
class SettingsStore;
class TextFrameEditor;
namespace imaging {
class Document;
}

class PageView : public QAbstractScrollArea, public ImageEditor {
    Q_OBJECT

public:
    PageView(std::shared_ptr<PromptService> prompts, std::shared_ptr<SettingsStore> settings,
             QWidget* parent = nullptr);
    ~PageView() override;

    // ImageEditor
    QWidget* widget() override { return this; }

    QString imagePath() const override { return m_path; }
    void setImagePath(const QString& path) override;
    int pageIndex() const override { return m_pageIndex; }
    void setPageIndex(int index) override;
    int pageCount() const override;
    void setNavigateTo(const QString& where) override;
    QString navigateTo() const override { return QString::number(m_navigateTarget); }

    void setTool(const QString& tool) override;
    QString tool() const override { return m_tool; }

    void setZoomFactor(const QString& step) override;
    QString zoomFactor() const override;
    void setZoomPercent(int percent) override;
    int zoomPercent() const override;
    void zoomTo(const QString& direction, int percent) override;
    void fitWidth() override;
    void fitHeight() override;

    // True while the text of a new text frame is being typed.
    bool busy() const override { return m_textEditor != nullptr; }
    bool hScrollVisible() const override;

    void clearImage() override;
    void syncView() override;
    void refresh() override;
    void updateLayout() override;

    void rotateLeft() override;
    void rotateRight() override;
    void flip() override;
    bool savePageChanges(int pageIndex, int pageCount) override;

    QString getFileAttributes(const QString& path) override;

    void resetDocument(int flags) override;
    void releaseImage() override;

    bool annotationCommand(const QString& command, AnnotationRecord& record, int option = 0,
                           const QString& path = QString(), int page = 0, int x = 0, int y = 0,
                           bool filled = false, bool highlight = false) override;
    // Left, top, right, bottom in twips relative to the widget, as the annotation found by
    // the last "rangecheck" is shown now; all zero when it found none.
    std::array<qint32, 4> hitRect() const override { return m_annotations.hitRect(); }

    void stampProperties() override;
    void rectangleProperties() override;
    void highlightProperties() override;
    void showSettings() override;

    void printDocument(bool& printAnnotations) override;

    void startRubberBand(float x, float y) override;
    void drawRubberBand(float x, float y, int style, int mode, qint32 colour = -1,
                        bool filled = false) override;
    void endRubberBand(float x, float y) override;
    void clearRubberBand() override;
    void startPan(int x, int y) override;
    void panTo(int x, int y) override;
    void endPan() override;
    bool pointerClipped() const override { return m_pointerClipped; }
    qint32 clippedX() const override { return m_clippedX; }
    qint32 clippedY() const override { return m_clippedY; }

    int copyRegion(int x1, int y1, int x2, int y2, QString& path, bool toFile) override;
    RegionRect mapRegion(int x1, int y1, int x2, int y2) override;
    void setViewLeft(qint32 v) override;
    qint32 viewLeft() const override;
    void setViewTop(qint32 v) override;
    qint32 viewTop() const override;

    // Beyond the interface: what the view shows, for hosts and tests.
    // The page as shown: decoded, then turned and flipped; null without a page.
    const QImage& shownPage() const { return m_page; }
    // What the view says about the shown page, painted over it: why it cannot be shown or
    // is incomplete, or that the pages after it cannot be read; "" when all is well.
    QString pageMessage() const { return m_pageMessage; }
    // Current zoom (1.0 = one page pixel per screen pixel across).
    double zoom() const { return m_zoom; }
    // Size of the page on screen, in pixels, at the current zoom.
    QSize displaySize() const;
    // Where the page's top left corner lies in the widget, in pixels.
    QPoint pageOrigin() const;
    // Page decodes this view did itself (cache misses), since it was created.
    int decodeCount() const { return m_decodeCount; }
    // Rubber band frame in widget pixels; null when none is drawn.
    QRect rubberBandRect() const { return m_bandShown ? m_bandRect : QRect(); }
    // Smooth scaling of grey and colour pages (bilevel pages are always averaged).
    bool smoothScaling() const { return m_smooth; }
    void setSmoothScaling(bool on);
    // Annotations of the shown page (in pixels of the page as stored, before the view's
    // turns and flips), unsaved additions included, and what reading them found.
    const QList<imaging::Annotation>& annotations() const;
    imaging::AnnotationStatus annotationStatus() const;
    // Maps pixels of the stored page to widget pixels as the page is shown now.
    QTransform pageToWidget() const;
    // The editor open over a text frame just added, where its text is typed; null when none.
    QPlainTextEdit* textFrameEditor() const;
    // Stores the text typed so far into the frame and its file, as Enter or leaving the
    // editor do, and closes the editor.
    void commitTextFrame();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Fit { None, Width, Height };

    // Loading (pageviewloading.cpp).
    bool openDocument(const QString& path);
    bool showPage(int index);
    void prefetchNeighbours();
    void prefetchNeighboursNow();
    void dropPage();

    // Zoom and scrolling (pageviewtransform.cpp).
    void setZoomKeepingCentre(double zoom);
    double fitZoom(Fit fit) const;
    double verticalStretch() const;
    void updateScrollBars();
    QPointF widgetToPage(QPointF p) const;

    // Rendering (pageviewrender.cpp).
    void invalidateScaled();
    void releaseScaledStore();
    void ensureScaled(const QRect& visible);
    void paintPageMessage(QPainter& painter);

    // Annotations of the shown page drawn over it (pageviewannotations.cpp); origin is
    // where the page's top left corner lies in viewport coordinates.
    void paintAnnotations(QPainter& painter, const QPoint& origin);
    QTransform pageToViewport(const QPointF& origin) const;
    QSizeF storedPageSize() const;
    QSizeF storedPageDpi() const;
    PageInView pageInView() const;
    bool isShownFile(const QString& path) const;
    void adoptRewrittenFile();
    // The text frame editor (pageviewannottext.cpp).
    void openTextFrameEditor(const imaging::Annotation& frame);
    void finishTextFrame(bool keep);
    void placeTextFrameEditor();
    bool textFrameBelongsTo(const QString& path, int page) const;
    imaging::WriteResult writeTurnedPage(const QString& path, int index, bool quarterTurn);

    // Mouse helpers (pageviewmouse.cpp).
    QPointF twipsToPixels(float x, float y) const;
    void clipEndPoint(QPointF end);
    void emitMouse(const MouseHandler& handler, QMouseEvent* event, int button);

    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<SettingsStore> m_settings;

    // Document and page.
    std::shared_ptr<const imaging::Document> m_doc;
    QString m_path;
    int m_pageIndex = 0;
    int m_navigateTarget = 0;
    QImage m_page;          // shown page: decoded, turned, flipped
    QString m_pageMessage;  // painted in the view, see pageMessage()
    QSizeF m_dpi{96, 96};   // of the shown page (swapped by quarter turns)
    QTransform m_turn;      // net turn of the shown page since it was loaded
    int m_decodeCount = 0;

    // View.
    double m_zoom = 1.0;
    Fit m_fit = Fit::None;
    QSize m_laidOutViewport;  // the viewport size of the last layout
    bool m_smooth = true;
    QString m_tool = QStringLiteral("Default");

    // Scaled page cache: m_scaled holds m_scaledRect of the page at the current zoom.
    QImage m_scaled;  // bilevel pages: drawn in m_scaledStore
    QRect m_scaledRect;
    std::vector<uchar> m_scaledStore;
    QSize m_scaledTarget;
    qint64 m_scaledSource = 0;
    QRegion m_scaledValid;  // the parts of m_scaledRect scaled so far (bilevel pages)
    // Neighbouring pages are fetched after the next paint, once around each shown page.
    bool m_prefetchPending = false;
    std::weak_ptr<const imaging::Document> m_prefetchedDoc;
    int m_prefetchedPage = -1;
    // The page shown last, so reloading it needs neither the shared cache nor a decode.
    imaging::PageKey m_lastKey;
    QImage m_lastImage;  // cacheKey of the page image m_scaled was made from

    // Rubber band (widget pixels), pan, clipping.
    QPointF m_bandAnchor;
    bool m_bandShown = false;
    QRect m_bandRect;
    int m_bandStyle = 0;
    QColor m_bandColour;
    bool m_bandFilled = false;
    bool m_pointerClipped = false;
    qint32 m_clippedX = 0;
    qint32 m_clippedY = 0;
    bool m_panning = false;
    QPoint m_panStart;
    QPoint m_panScrollStart;

    // Annotations of the shown page and their editing.
    PageAnnotations m_annotations;
    // The deleter stores a text still being typed (also when the view goes away); it needs
    // nothing else of the view.
    struct TextFrameEditorDeleter {
        void operator()(TextFrameEditor* editor) const;
    };
    std::unique_ptr<TextFrameEditor, TextFrameEditorDeleter> m_textEditor;
};

}  // namespace ktdv
