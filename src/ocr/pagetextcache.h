#pragma once
// Recognised pages kept per user on disk, so no page is recognised twice: one file per page
// in a folder under the user's cache location, named by a key made of the page's digest
// (imaging/pagedigest.h) and the recognition settings. Each entry holds the page's whole
// structure (blocks, paragraphs, lines, words with boxes and confidences, size,
// resolution, placement), not its picture.
//
// The folder is bounded in size: after a store that takes it over the bound, the entries
// used longest ago (their files' modification time, renewed by each load) are removed
// until it is under nine tenths of it. Entries are written to a temporary file and renamed
// into place; an entry that is damaged or cut short reads as absent. Several threads, and
// several processes of the same user, may use one folder at once.

#include "ocr/recognizeddocument.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <mutex>

namespace ktdv::ocr {

class PageTextCache {
public:
    static constexpr qint64 kDefaultMaxBytes = 64LL * 1024 * 1024;
    // A folder of ours below the user's cache location.
    static QString defaultFolder();
    // The process's cache in the default folder.
    static std::shared_ptr<PageTextCache> shared();
    // The key of a page: its digest and what the recognition depends on.
    static QByteArray key(const QByteArray& pageDigest, const QByteArray& settings);

    explicit PageTextCache(QString folder = defaultFolder(), qint64 maxBytes = kDefaultMaxBytes);
    QString folder() const { return m_folder; }
    void setMaxBytes(qint64 bytes);
    qint64 maxBytes() const;

    // Any thread. load() leaves `page` without picture; false when the entry is absent or
    // unreadable.
    bool load(const QByteArray& key, RecognizedPage& page) const;
    void store(const QByteArray& key, const RecognizedPage& page);
    // Bytes the entries take now.
    qint64 bytesOnDisk() const;

private:
    QString pathOf(const QByteArray& key) const;
    void trim();  // under m_mutex

    QString m_folder;
    mutable std::mutex m_mutex;
    qint64 m_maxBytes;
    qint64 m_bytes = -1;  // under m_mutex; -1 until the folder was measured
};

}  // namespace ktdv::ocr
