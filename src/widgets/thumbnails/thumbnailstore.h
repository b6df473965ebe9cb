#pragma once
// The thumbnails of the pane's shown range: the open document, one entry per page of the
// range and, once made, its picture (or why it could not be made). The view fills it from
// the renderer's results; hosts and tests read what is shown through the const members.
// UI thread only.

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QVector>

#include <memory>
#include <utility>

namespace ktdv {

namespace imaging {
class Document;
}

class ThumbnailStore {
public:
    struct Entry {
        int page = 0;
        QPixmap pixmap;
        QSize renderedSize;  // the size the pixmap was made for
        bool done = false;   // finished: a picture, or a failure
        QString error;
    };

    // Opens (or reopens) the document at path; the range is left as it was. False when it
    // cannot be read: then no document is open.
    bool open(const QString& path);
    // Entries for pages first .. first + size - 1 of the open document (fewer at its end),
    // none made yet.
    void setRange(int first, int size);
    void clear() { m_entries.clear(); }
    // A finished thumbnail for entry index; false when the entry now holds another page.
    bool setResult(int index, int page, const QImage& image, QSize size, qreal pixelRatio,
                   const QString& error);

    const std::shared_ptr<const imaging::Document>& document() const { return m_document; }
    QString documentPath() const { return m_path; }
    int pageCount() const;  // of the document; 0 when none is open
    int count() const { return static_cast<int>(m_entries.size()); }  // in the shown range
    const Entry& at(int index) const { return m_entries.at(index); }
    QString pageLabel(int index) const;
    QString toolTipText(int index) const;  // page number, size, resolution, any failure
    bool isReady(int index) const;         // finished (picture or failure)
    QImage image(int index) const;         // null until ready or when it failed
    bool allReady() const;
    bool readyIn(std::pair<int, int> range) const;  // first and last index; (-1, -1): none

private:
    std::shared_ptr<const imaging::Document> m_document;
    QString m_path;
    QVector<Entry> m_entries;
};

}  // namespace ktdv
