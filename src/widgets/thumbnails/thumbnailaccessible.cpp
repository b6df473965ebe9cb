#include "widgets/thumbnails/thumbnailaccessible.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWindow>

#include "widgets/thumbnails/thumbnailview.h"

namespace ktdv {

namespace {

class ThumbnailItem final : public QAccessibleInterface {
public:
    ThumbnailItem(ThumbnailView* view, int index) : m_view(view), m_index(index) {}

    bool isValid() const override { return live() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_view.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        const ThumbnailView* view = live();
        if (!view)
            return QString();
        const ThumbnailStore& store = view->thumbnails();
        if (t == QAccessible::Description)
            return store.toolTipText(m_index);
        if (t != QAccessible::Name)
            return QString();
        const int page = store.at(m_index).page;
        return page == view->currentPage()
                   ? QCoreApplication::translate("ktdv::ThumbnailAccessible", "Page %1, shown")
                         .arg(page + 1)
                   : QCoreApplication::translate("ktdv::ThumbnailAccessible", "Page %1")
                         .arg(page + 1);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const ThumbnailView* view = live();
        if (!view)
            return QRect();
        const QRect cell = view->viewport().cellRect(m_index);
        return QRect(view->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.selectable = true;
        s.focusable = true;
        const ThumbnailView* view = live();
        if (view && m_index == view->selectedIndex()) {
            s.selected = true;
            s.focused = view->hasFocus();
        }
        return s;
    }

private:
    // The pane while it still shows this thumbnail.
    ThumbnailView* live() const {
        ThumbnailView* view = m_view.data();
        if (view == nullptr || m_index >= view->thumbnails().count())
            return nullptr;
        return view;
    }

    QPointer<ThumbnailView> m_view;
    int m_index;
};

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("ktdv::ThumbnailView") && object && object->isWidgetType())
        return new ThumbnailAccessible(static_cast<ThumbnailView*>(object));
    return nullptr;
}

}  // namespace

ThumbnailAccessible::ThumbnailAccessible(ThumbnailView* view)
    : QAccessibleWidget(view, QAccessible::List) {}

ThumbnailAccessible::~ThumbnailAccessible() {
    for (const QAccessible::Id id : std::as_const(m_items))
        QAccessible::deleteAccessibleInterface(id);
}

void ThumbnailAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed)
}

ThumbnailView* ThumbnailAccessible::view() const {
    return static_cast<ThumbnailView*>(widget());
}

int ThumbnailAccessible::childCount() const {
    return view()->thumbnails().count();
}

QAccessibleInterface* ThumbnailAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto it = m_items.constFind(index); it != m_items.constEnd())
        return QAccessible::accessibleInterface(*it);
    auto* item = new ThumbnailItem(view(), index);
    m_items.insert(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int ThumbnailAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
    const int index = m_items.key(id, -1);
    return index < childCount() ? index : -1;
}

QAccessibleInterface* ThumbnailAccessible::childAt(int x, int y) const {
    return child(view()->viewport().indexAt(view()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* ThumbnailAccessible::focusChild() const {
    return view()->hasFocus() ? child(view()->selectedIndex()) : nullptr;
}

void ThumbnailAccessible::selectionChanged(ThumbnailView* view, int index) {
    if (!QAccessible::isActive())
        return;
    for (const QAccessible::Event type : {QAccessible::Selection, QAccessible::Focus}) {
        if (type == QAccessible::Focus && !view->hasFocus())
            continue;
        QAccessibleEvent event(view, type);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace ktdv
