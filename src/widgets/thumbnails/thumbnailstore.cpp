#include "widgets/thumbnails/thumbnailstore.h"

#include <QCoreApplication>

#include <algorithm>

#include "imaging/document.h"

namespace ktdv {

bool ThumbnailStore::open(const QString& path) {
    m_path = path;
    m_document = path.isEmpty() ? nullptr : imaging::Document::open(path);
    return m_document != nullptr;
}

void ThumbnailStore::setRange(int first, int size) {
    m_entries.clear();
    const int begin = std::max(0, first);
    const int end = std::min(pageCount(), begin + size);
    for (int page = begin; page < end; ++page) {
        Entry entry;
        entry.page = page;
        m_entries.append(entry);
    }
}

bool ThumbnailStore::setResult(int index, int page, const QImage& image, QSize size,
                               qreal pixelRatio, const QString& error) {
    if (index < 0 || index >= count() || m_entries[index].page != page) {
        return false;
    }
    Entry& entry = m_entries[index];
    entry.done = true;
    entry.error = error;
    if (!image.isNull()) {
        entry.pixmap = QPixmap::fromImage(image);
        entry.pixmap.setDevicePixelRatio(pixelRatio);
        entry.renderedSize = size;
    }
    return true;
}

int ThumbnailStore::pageCount() const {
    return m_document ? m_document->pageCount() : 0;
}

QString ThumbnailStore::pageLabel(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return QString::number(m_entries[index].page + 1);
}

QString ThumbnailStore::toolTipText(int index) const {
    if (!m_document || index < 0 || index >= count()) {
        return {};
    }
    const Entry& entry = m_entries[index];
    const imaging::PageInfo& info = m_document->page(entry.page);
    QString text = QCoreApplication::translate("ktdv::ThumbnailView", "Page %1 of %2")
                       .arg(entry.page + 1)
                       .arg(pageCount()) +
                   u'\n' +
                   QCoreApplication::translate("ktdv::ThumbnailView", "%1 x %2 pixels, %3 x %4 dpi")
                       .arg(info.pixelSize.width())
                       .arg(info.pixelSize.height())
                       .arg(info.dpi.width())
                       .arg(info.dpi.height());
    if (!entry.error.isEmpty()) {
        text += u'\n' + entry.error;
    }
    return text;
}

bool ThumbnailStore::isReady(int index) const {
    return index >= 0 && index < count() && m_entries[index].done;
}

QImage ThumbnailStore::image(int index) const {
    return isReady(index) ? m_entries[index].pixmap.toImage() : QImage();
}

bool ThumbnailStore::allReady() const {
    return std::all_of(m_entries.cbegin(), m_entries.cend(),
                       [](const Entry& entry) { return entry.done; });
}

bool ThumbnailStore::readyIn(std::pair<int, int> range) const {
    for (int i = std::max(0, range.first); i <= range.second && i < count(); ++i) {
        if (!m_entries[i].done) {
            return false;
        }
    }
    return true;
}

}  // namespace ktdv
