// Mouse and keyboard on the thumbnail column: clicks (reported to the host), pointer moves
// (reported for the host's splitter), the context menu, the page keys and dragging a
// thumbnail to another place.

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>

#include <algorithm>

#include "imaging/document.h"
#include "platform/promptservice.h"
#include "widgets/thumbnails/thumbnailaccessible.h"
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
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        update();  // the focus frame
    }
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    auto* help = static_cast<QHelpEvent*>(event);
    const int index = m_viewport.indexAt(help->pos());
    if (index < 0) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), m_store.toolTipText(index), this,
                           m_viewport.cellRect(index));
    }
    return true;
}

void ThumbnailView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    m_pressIndex = m_viewport.indexAt(pos);
    m_pressPos = pos;
    m_dragging = false;
    m_dropIndex = -1;
    event->accept();
}

void ThumbnailView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if ((event->buttons() & Qt::LeftButton) && m_pressIndex >= 0 && m_store.count() > 1) {
        if (!m_dragging &&
            (pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_dragging = true;
            setCursor(Qt::ClosedHandCursor);
        }
        if (m_dragging) {
            const int drop = m_layout.insertionIndexAt(m_viewport.toContent(pos).y());
            if (drop != m_dropIndex) {
                m_dropIndex = drop;
                update();
            }
        }
    }
    event->accept();
    if (m_handlers.mouseMove) {
        int button = buttonCode(event->buttons());
        int shift = shiftCode(event->modifiers());
        float x = static_cast<float>(event->position().x());
        float y = static_cast<float>(event->position().y());
        m_handlers.mouseMove(button, shift, x, y);
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

    const int index = m_viewport.indexAt(pos);
    const int button = buttonCode(event->button());
    if (index < 0 || button == 0) {
        return;
    }
    if (m_selected != index) {
        m_selected = index;
        ThumbnailAccessible::selectionChanged(this, m_selected);
        update();
    }
    const QPointer<ThumbnailView> self(this);
    if (m_handlers.thumbClick) {
        int clickedIndex = index;
        int clickedButton = button;
        int shift = shiftCode(event->modifiers());
        float x = static_cast<float>(event->position().x());
        float y = static_cast<float>(event->position().y());
        m_handlers.thumbClick(clickedIndex, clickedButton, shift, x, y);
    }
    if (self && event->button() == Qt::RightButton && index < m_store.count()) {
        showContextMenu(index, event->globalPosition().toPoint());
    }
}

void ThumbnailView::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (m_store.count() > 0 && event->key() == Qt::Key_Delete && !ctrl) {
        deletePageAt(m_selected);
    } else if (m_store.count() > 0 && ctrl && event->key() == Qt::Key_Up) {
        movePage(m_selected, -1);
    } else if (m_store.count() > 0 && ctrl && event->key() == Qt::Key_Down) {
        movePage(m_selected, 1);
    } else if (m_store.count() > 0 && !ctrl &&
               (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        // The keyboard selects; Enter or Space then shows the page as a click does.
        m_selected =
            std::clamp(m_selected + (event->key() == Qt::Key_Up ? -1 : 1), 0, m_store.count() - 1);
        ThumbnailAccessible::selectionChanged(this, m_selected);
        update();
    } else if (m_store.count() > 0 &&
               (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                event->key() == Qt::Key_Space)) {
        if (m_handlers.thumbClick) {
            int index = m_selected, button = 1, shift = 0;
            float x = 0, y = 0;
            m_handlers.thumbClick(index, button, shift, x, y);
        }
    } else if (m_store.count() > 0 &&
               (event->key() == Qt::Key_Menu ||
                (event->key() == Qt::Key_F10 && event->modifiers() & Qt::ShiftModifier))) {
        showContextMenu(m_selected, mapToGlobal(m_viewport.cellRect(m_selected).center()));
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ThumbnailView::showContextMenu(int index, QPoint globalPos) {
    if (!m_prompts || index < 0 || index >= m_store.count()) {
        return;
    }
    const int page = m_store.at(index).page;
    QMenu menu;  // no parent: the pane may go while the menu is open
    QAction* remove = menu.addAction(deletePageText());
    QAction* up = menu.addAction(movePageUpText());
    QAction* down = menu.addAction(movePageDownText());
    up->setEnabled(page > 0);
    down->setEnabled(page + 1 < m_store.pageCount());
    if (m_store.document() && m_store.document()->format() == imaging::FileFormat::Pdf) {
        menu.setToolTipsVisible(true);
        for (QAction* action : {remove, up, down}) {
            action->setEnabled(false);
            action->setToolTip(pdfReadOnlyText());
        }
    }
    // The host's actions act themselves when chosen (they do not touch this page).
    bool separated = false;
    for (QAction* action : m_menuActions) {
        if (!action)
            continue;
        if (!separated)
            menu.addSeparator();
        separated = true;
        menu.addAction(action);
    }

    QAction* chosen = nullptr;
    for (QAction* action : {remove, up, down}) {
        connect(action, &QAction::triggered, &menu, [&chosen, action] { chosen = action; });
    }
    const QPointer<ThumbnailView> self(this);
    m_prompts->popupMenu(&menu, globalPos);
    // Act only after the menu is gone, and only on the page the menu was opened for.
    if (!self || !chosen || !chosen->isEnabled() || index >= m_store.count() ||
        m_store.at(index).page != page) {
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

void ThumbnailView::setMenuActions(const QList<QAction*>& actions) {
    m_menuActions.clear();
    for (QAction* action : actions)
        m_menuActions.append(action);
}

}  // namespace ktdv
