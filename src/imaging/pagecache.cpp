#include "imaging/pagecache.h"

#include <QHash>

#include <list>
#include <mutex>

#include "imaging/limits.h"

namespace ktdv::imaging {

inline size_t qHash(const PageKey& k, size_t seed = 0) {
    return qHashMulti(seed, k.path, k.fileSize, k.modifiedMs, k.page);
}

namespace {

struct Entry {
    PageKey key;
    QImage image;
    qint64 bytes = 0;
};

}  // namespace

// Most recently used at the front; the hash points into the list.
struct PageCache::Impl {
    qint64 maxBytes = 0;
    int maxPages = 0;
    qint64 used = 0;
    std::list<Entry> order;
    QHash<PageKey, std::list<Entry>::iterator> index;
    // A standard mutex rather than a QMutex, whose contended path the thread sanitizer
    // cannot follow: page decodes in the background fill the cache.
    mutable std::mutex mutex;

    void erase(std::list<Entry>::iterator it) {
        used -= it->bytes;
        index.remove(it->key);
        order.erase(it);
    }
};

PageCache::PageCache(qint64 maxBytes, int maxPages) : d(new Impl) {
    d->maxBytes = qMax<qint64>(0, maxBytes);
    d->maxPages = qMax(0, maxPages);
}

PageCache::~PageCache() {
    delete d;
}

std::optional<QImage> PageCache::find(const PageKey& key) {
    const std::lock_guard<std::mutex> lock(d->mutex);
    const auto it = d->index.find(key);
    if (it == d->index.end())
        return std::nullopt;
    d->order.splice(d->order.begin(), d->order, it.value());
    return it.value()->image;
}

void PageCache::insert(const PageKey& key, const QImage& image) {
    const qint64 bytes = image.sizeInBytes();
    const std::lock_guard<std::mutex> lock(d->mutex);
    if (const auto it = d->index.find(key); it != d->index.end())
        d->erase(it.value());
    if (image.isNull() || bytes > d->maxBytes || d->maxPages == 0)
        return;  // never evict everything for one page
    while (!d->order.empty() && (d->used + bytes > d->maxBytes || d->index.size() >= d->maxPages))
        d->erase(std::prev(d->order.end()));
    d->order.push_front(Entry{key, image, bytes});
    d->index.insert(key, d->order.begin());
    d->used += bytes;
}

void PageCache::removeFile(const QString& path) {
    const std::lock_guard<std::mutex> lock(d->mutex);
    for (auto it = d->order.begin(); it != d->order.end();) {
        const auto next = std::next(it);
        if (it->key.path == path)
            d->erase(it);
        it = next;
    }
}

void PageCache::clear() {
    const std::lock_guard<std::mutex> lock(d->mutex);
    d->order.clear();
    d->index.clear();
    d->used = 0;
}

qint64 PageCache::bytesUsed() const {
    const std::lock_guard<std::mutex> lock(d->mutex);
    return d->used;
}

PageCache& PageCache::shared() {
    static PageCache cache(limits::kPageCacheBytes, limits::kPageCachePages);
    return cache;
}

}  // namespace ktdv::imaging
