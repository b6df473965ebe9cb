#pragma once
// The thumbnail pane for assistive technologies: a list whose items are the thumbnails of
// the shown range, each named by its page ("Page 3", "Page 3, shown" for the page the page
// view shows), the selected one stated as selected and, while the pane has the focus, as
// focused. UI thread only.

#include <QAccessibleWidget>
#include <QHash>

namespace ktdv {

class ThumbnailView;

class ThumbnailAccessible final : public QAccessibleWidget {
public:
    explicit ThumbnailAccessible(ThumbnailView* view);
    ~ThumbnailAccessible() override;

    // Makes Qt's accessibility ask this class for every thumbnail pane (once per process).
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // Tells assistive technologies that the selected thumbnail changed.
    static void selectionChanged(ThumbnailView* view, int index);

private:
    ThumbnailView* view() const;
    mutable QHash<int, QAccessible::Id> m_items;
};

}  // namespace ktdv
