#include "widgets/pageview/pageview.h"

#include <QScrollBar>

#include "imaging/document.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "widgets/pageview/fileattributes.h"
#include "widgets/pageview/stripscrollbar.h"

namespace ktdv {

PageView::PageView(std::shared_ptr<PromptService> prompts, std::shared_ptr<SettingsStore> settings,
                   QWidget* parent)
    : QAbstractScrollArea(parent),
      m_prompts(std::move(prompts)),
      m_settings(std::move(settings)),
      m_annotations(m_settings) {
    // Without a frame the viewport is the widget's whole area, so widget and viewport
    // coordinates agree (mouse events, rubber band and zones all use the widget's).
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBar(new StripScrollBar(Qt::Horizontal));
    setVerticalScrollBar(new StripScrollBar(Qt::Vertical));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    // Every paint covers the whole viewport (page or background), so nothing beneath it
    // is painted first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
    if (m_settings)
        m_smooth = m_settings->readBool(settings::SmoothScaling);
}

PageView::~PageView() = default;

void PageView::setTool(const QString& tool) {
    m_tool = tool;
    if (tool.compare(QLatin1String("Scroll"), Qt::CaseInsensitive) == 0)
        viewport()->setCursor(Qt::OpenHandCursor);
    else if (tool.compare(QLatin1String("Wait"), Qt::CaseInsensitive) == 0)
        viewport()->setCursor(Qt::WaitCursor);
    else
        viewport()->unsetCursor();
}

QString PageView::getFileAttributes(const QString& path) {
    return fileAttributeLetters(path);
}

void PageView::setSmoothScaling(bool on) {
    if (m_smooth == on)
        return;
    m_smooth = on;
    invalidateScaled();
    viewport()->update();
}

}  // namespace ktdv
