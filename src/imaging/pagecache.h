#pragma once
// A bounded cache of decoded pages keyed by (file, size, modification time, page): at most
// maxBytes and maxPages, the least recently used page going first. Thread-safe: any thread
// may find and insert.

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>

namespace ktdv::imaging {

struct PageKey {
    QString path;
    qint64 fileSize = 0;
    qint64 modifiedMs = 0;
    int page = 0;
    friend bool operator==(const PageKey&, const PageKey&) = default;
};

class PageCache {
public:
    PageCache(qint64 maxBytes, int maxPages);
    ~PageCache();
    PageCache(const PageCache&) = delete;
    PageCache& operator=(const PageCache&) = delete;

    std::optional<QImage> find(const PageKey& key);
    void insert(const PageKey& key, const QImage& image);
    void removeFile(const QString& path);  // after the file changed
    void clear();
    qint64 bytesUsed() const;

    // The process-wide cache (limits::kPageCacheBytes, limits::kPageCachePages).
    static PageCache& shared();

private:
    struct Impl;
    Impl* d;
};

}  // namespace ktdv::imaging
