// Mouse and keyboard on the thumbnail column: clicks (reported to the host), pointer moves
// (reported for the host's splitter), the context menu, the page keys and dragging a
// thumbnail to another place.

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>

#include "imaging/document.h"
#include "platform/promptservice.h"
#include "widgets/thumbnails/thumbnailview.h"

namespace ktdv {

namespace {

// The host's codes: buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt.
int buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) {
        code |= 1;
    }
    if (buttons & Qt::RightButton) {
        code |= 2;
    }
    if (buttons & Qt::MiddleButton) {
        code |= 4;
    }
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    int code = 0;
    if (modifiers & Qt::ShiftModifier) {
        code |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        code |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        code |= 4;
    }
    return code;
}

}  // namespace

bool ThumbnailView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const int index = m_layout.indexAt(toContent(help->pos()));
    if (index < 0) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), toolTipText(index), this,
                           m_layout.cellRect(index).translated(0, -contentOffset()));
    }
    return true;
}

QString ThumbnailView::toolTipText(int index) const {
    if (!m_document || index < 0 || index >= thumbnailCount()) {
        return {};
    }
    const Thumbnail& thumbnail = m_thumbnails[index];
    const imaging::PageInfo& info = m_document->page(thumbnail.page);
    QString text = tr("Page %1 of %2").arg(thumbnail.page + 1).arg(pageCount()) + u'\n' +
                   tr("%1 x %2 pixels, %3 x %4 dpi")
                       .arg(info.pixelSize.width())
                       .arg(info.pixelSize.height())
                       .arg(info.dpi.width())
                       .arg(info.dpi.height());
    if (!thumbnail.error.isEmpty()) {
        text += u'\n' + thumbnail.error;
    }
    return text;
}

void ThumbnailView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_pressIndex = m_layout.indexAt(toContent(pos));
    m_pressPos = pos;
    m_dragging = false;
    m_dropIndex = -1;
    event->accept();
}

void ThumbnailView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && m_pressIndex >= 0 && thumbnailCount() > 1) {
        if (!m_dragging &&
            (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragging = true;
            setCursor(Qt::ClosedHandCursor);
        }
        if (m_dragging) {
            const int drop = m_layout.insertionIndexAt(toContent(pos).y());
            if (drop != m_dropIndex) {
                m_dropIndex = drop;
                update();
            }
        }
    }
    event->accept();
    if (onMouseMove) {
        int button = buttonCode(event->buttons());
        int shift = shiftCode(event->modifiers());
        float x = static_cast<float>(event->position().x());
        float y = static_cast<float>(event->position().y());
        onMouseMove(button, shift, x, y);
    }
}

void ThumbnailView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        const int from = m_pressIndex;
        const int drop = m_dropIndex;
        m_dragging = false;
        m_pressIndex = -1;
        m_dropIndex = -1;
        unsetCursor();
        update();
        if (event->button() == Qt::LeftButton && from >= 0 && drop >= 0) {
            // Where the page ends up once it is taken out of its old place.
            const int to = drop > from ? drop - 1 : drop;
            if (to != from) {
                movePage(from, to - from);
            }
        }
        return;
    }
    m_pressIndex = -1;

    const int index = m_layout.indexAt(toContent(pos));
    const int button = buttonCode(event->button());
    if (index < 0 || button == 0) {
        return;
    }
    if (m_selected != index) {
        m_selected = index;
        update();
    }
    const QPointer<ThumbnailView> self(this);
    if (onThumbClick) {
        int clickedIndex = index;
        int clickedButton = button;
        int shift = shiftCode(event->modifiers());
        float x = static_cast<float>(event->position().x());
        float y = static_cast<float>(event->position().y());
        onThumbClick(clickedIndex, clickedButton, shift, x, y);
    }
    if (self && event->button() == Qt::RightButton && index < thumbnailCount()) {
        showContextMenu(index, event->globalPosition().toPoint());
    }
}

void ThumbnailView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (thumbnailCount() > 0 && event->key() == Qt::Key_Delete && !ctrl) {
        deletePageAt(m_selected);
    } else if (thumbnailCount() > 0 && ctrl && event->key() == Qt::Key_Up) {
        movePage(m_selected, -1);
    } else if (thumbnailCount() > 0 && ctrl && event->key() == Qt::Key_Down) {
        movePage(m_selected, 1);
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ThumbnailView::showContextMenu(int index, QPoint globalPos) {
    if (!m_prompts || index < 0 || index >= thumbnailCount()) {
        return;
    }
    const int page = m_thumbnails[index].page;
    QMenu menu;  // no parent: the pane may go while the menu is open
    QAction* remove = menu.addAction(deletePageText());
    QAction* up = menu.addAction(movePageUpText());
    QAction* down = menu.addAction(movePageDownText());
    up->setEnabled(page > 0);
    down->setEnabled(page + 1 < pageCount());

    QAction* chosen = nullptr;
    for (QAction* action : {remove, up, down}) {
        connect(action, &QAction::triggered, &menu, [&chosen, action] { chosen = action; });
    }
    const QPointer<ThumbnailView> self(this);
    m_prompts->popupMenu(&menu, globalPos);
    // Act only after the menu is gone, and only on the page the menu was opened for.
    if (!self || !chosen || !chosen->isEnabled() || index >= thumbnailCount() ||
        m_thumbnails[index].page != page) {
        return;
    }
    if (chosen == remove) {
        deletePageAt(index);
    } else if (chosen == up) {
        movePage(index, -1);
    } else if (chosen == down) {
        movePage(index, 1);
    }
}

}  // namespace ktdv
