#pragma once
// A TIFF file opened for one edit in place. The page directories are read where they lie;
// an edit changes pages() (new page data is written after the file's end through sink()),
// then commit() appends every directory that changed, and each one before it in the
// chain, flushes, switches the header's first-directory link to the new chain and flushes
// again. Nothing the old chain reaches is ever overwritten, so a crash or a reader at any
// moment finds the old or the new chain complete. When the bytes no chain reaches pass a
// quarter of the file's compacted size, the file is rewritten without them (compact()).
// Internal to the imaging layer; docs/file-edits.md describes the file on disk.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

#include "imaging/safefilewriter.h"
#include "imaging/tiffchain.h"

namespace ktdv::imaging::detail {

class TiffEdit {
public:
    TiffEdit() = default;
    TiffEdit(const TiffEdit&) = delete;
    TiffEdit& operator=(const TiffEdit&) = delete;
    ~TiffEdit();

    // Opens `path` for an edit (write) or for reading only. Refuses missing, read-only (for
    // an edit), unreadable and damaged files with *result set.
    bool open(const QString& path, bool write, WriteResult* result);

    std::vector<tiff::Directory>& pages() { return m_pages; }
    const tiff::FileSource& source() const { return *m_source; }
    const tiff::Format& format() const { return m_format; }
    bool validIndex(int index) const { return index >= 0 && size_t(index) < m_pages.size(); }
    // Writes after the file's end, where the edit's new data goes.
    tiff::Sink& sink();
    // PageNumber (page i of n) where a page carries it.
    void renumber();
    // Stores the changed chain; compacts the file afterwards when its dead bytes are due.
    // *tooLarge is set when a classic file would pass 4 GB (nothing was changed).
    WriteResult commit(bool* tooLarge = nullptr);

    // Bytes no chain reaches (the file's size less its compacted size).
    quint64 deadBytes() const;

private:
    void undoAppend(bool headerWritten);
    bool writeFirstLink(quint64 value);

    QString m_path;
    int m_fd = -1;
    quint64 m_size = 0;
    quint64 m_firstIfd = 0;
    tiff::Format m_format;
    std::unique_ptr<tiff::FileSource> m_source;
    std::unique_ptr<tiff::Sink> m_sink;
    std::vector<tiff::Directory> m_pages;
};

// Opens `path` for an edit, lets `change` make it, commits. A classic file that would pass
// 4 GB is compacted and the edit tried once more.
WriteResult editFile(const QString& path,
                     const std::function<bool(TiffEdit& edit, WriteResult* result)>& change);

// Rewrites the file with only what its chain reaches, through the temporary-file-and-
// rename path, copying one piece at a time.
WriteResult compact(const QString& path);

// Dead bytes above which a commit compacts the file: a quarter of the compacted size,
// and at least this.
inline constexpr quint64 kMinDeadBytes = 64 * 1024;

}  // namespace ktdv::imaging::detail
