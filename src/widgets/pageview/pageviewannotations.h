#pragma once
// The page view's annotation role: the annotation commands, carried out by PageAnnotations
// on the shown page; drawing the annotations over the page at any zoom, turn and flip; the
// editor where the text of a new text frame is typed; and the dialogs for the styles of new
// annotations. UI thread only.

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QSizeF>
#include <QTransform>

#include <memory>

#include "imaging/annotationstore.h"
#include "interfaces/editorannotations.h"
#include "widgets/pageview/pageannotations.h"

class QAbstractScrollArea;
class QPainter;
class QPlainTextEdit;

namespace ktdv {

class PageDisplay;
class PageDocument;
class PromptService;
class SettingsStore;
class TextFrameEditor;

class PageViewAnnotations final : public EditorAnnotations {
public:
    PageViewAnnotations(QAbstractScrollArea& area, PageDocument& document,
                        const PageDisplay& display, std::shared_ptr<PromptService> prompts,
                        std::shared_ptr<SettingsStore> settings);
    ~PageViewAnnotations() override;

    bool annotationCommand(const QString& command, AnnotationRecord& record, int option = 0,
                           const QString& path = QString(), int page = 0, int x = 0, int y = 0,
                           bool filled = false, bool highlight = false) override;
    std::array<qint32, 4> hitRect() const override { return m_annotations.hitRect(); }

    void stampProperties() override;
    void rectangleProperties() override;
    void highlightProperties() override;

    // Annotations of the shown page (in pixels of the page as stored, before the view's
    // turns and flips), unsaved additions included, and what reading them found.
    const QList<imaging::Annotation>& list() const;
    imaging::AnnotationStatus status() const;
    // Maps pixels of the stored page to widget pixels as the page is shown now.
    QTransform pageToWidget() const;
    // Draws the annotations over the page whose top left corner lies at origin (viewport
    // coordinates).
    void paint(QPainter& painter, const QPointF& origin);

    // The editor open over a text frame just added, where its text is typed; null when none.
    QPlainTextEdit* textFrameEditor() const;
    bool typing() const { return m_textEditor != nullptr; }
    // Stores the text typed so far into the frame and its file, as Enter or leaving the
    // editor do, and closes the editor.
    void commitTextFrame();

private:
    QTransform pageToViewport(const QPointF& origin) const;
    PageInView pageInView() const;
    bool isShownFile(const QString& path) const;
    void adoptRewrittenFile();
    void openTextFrameEditor(const imaging::Annotation& frame);
    void finishTextFrame(bool keep);
    void placeTextFrameEditor();
    bool textFrameBelongsTo(const QString& path, int page) const;

    QAbstractScrollArea& m_area;
    PageDocument& m_document;
    const PageDisplay& m_display;
    std::shared_ptr<PromptService> m_prompts;
    std::shared_ptr<SettingsStore> m_settings;

    PageAnnotations m_annotations;
    // The deleter stores a text still being typed (also when the view goes away); it needs
    // nothing else of the view.
    struct TextFrameEditorDeleter {
        void operator()(TextFrameEditor* editor) const;
    };
    std::unique_ptr<TextFrameEditor, TextFrameEditorDeleter> m_textEditor;
};

}  // namespace ktdv
