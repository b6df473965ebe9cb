#pragma once
// The page view: one page of a document, scaled for the screen, with the rubber band and
// hand scrolling the viewer drives. Implements ImageEditor; each role is a part of its own
// (the document and its shown page, the display, the pointer, the annotations), and the
// widget passes its events to them and tells each what another changed.
//
// Threads: the widget and every member live on the UI thread. Decoding of neighbouring
// pages runs in the background and only fills the shared page cache.

#include <QAbstractScrollArea>

#include <memory>

#include "interfaces/imageeditor.h"
#include "widgets/pageview/pagedisplay.h"
#include "widgets/pageview/pagedocument.h"
#include "widgets/pageview/pagepointer.h"
#include "widgets/pageview/pagerenderer.h"
#include "widgets/pageview/pagetextmarks.h"
#include "widgets/pageview/pageviewannotations.h"

namespace ktdv {

class PromptService;
class SettingsStore;

class PageView final : public QAbstractScrollArea, public ImageEditor, private PageDocument::Host {
    Q_OBJECT

public:
    PageView(std::shared_ptr<PromptService> prompts, std::shared_ptr<SettingsStore> settings,
             QWidget* parent = nullptr);
    ~PageView() override;

    QWidget* widget() override { return this; }
    PageDocument& document() override { return m_document; }
    PageDisplay& view() override { return m_display; }
    PageViewAnnotations& annotations() override { return m_annotations; }
    PagePointer& pointer() override { return m_pointer; }
    PageTextMarks* textMarks() override { return &m_textMarks; }
    void setEditHistory(std::shared_ptr<imaging::EditHistory> history) override {
        m_document.setEditHistory(std::move(history));
    }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // PageDocument::Host
    void pageDropped() override;
    void pageShown() override;
    void pageTurned(bool quarter) override;
    void documentReleased() override;
    void pageCleared() override;
    bool typing() const override;
    void pageRedrawn() override;

    PageDocument m_document;
    PageRenderer m_renderer;
    PageDisplay m_display;
    PagePointer m_pointer;
    PageViewAnnotations m_annotations;
    PageTextMarks m_textMarks;
};

}  // namespace ktdv
