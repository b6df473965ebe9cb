#pragma once
// The changes made to one document, so they can be taken back and made again: page
// deletes and moves, pages rewritten whole (a turned page saved) and private tags written
// (annotations). Each change is carried out through the lossless page edits and recorded
// with what undoing it needs; undo and redo are themselves safe writes of the file.
//
// A deleted or replaced page is kept as a one-page TIFF file in a private temporary folder
// under the cache location, never in memory; a tag's earlier bytes are kept in memory. At
// most kMaxSteps changes are kept, the oldest dropped first. After each of its writes the
// history remembers the file's identity (size, time stamp to the nanosecond, inode and a
// digest of the header and first directory); when the file no longer has it, someone else
// changed the file, so undo and redo refuse and the history is dropped: a stale picture of
// the file is never written over another program's change.
//
// Threads: the members may be called from any thread, one change, undo or redo at a time
// (the viewer holds input while one runs). The changed handler runs on the thread that
// made the change.

#include <QByteArray>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "imaging/safefilewriter.h"

class QTemporaryDir;

namespace ktdv::imaging {

// What tells one state of a file from another.
struct FileIdentity {
    qint64 size = -1;  // -1: no such file
    qint64 modifiedNs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray digest;  // of the header and the first directory

    static FileIdentity of(const QString& path);
    bool operator==(const FileIdentity&) const = default;
};

class EditHistory {
public:
    static constexpr int kMaxSteps = 100;

    struct Outcome {
        bool ok = false;
        bool changedOutside = false;  // refused, and the history dropped
        QString error;
        int page = -1;  // where the page the step was about is now, zero-based
    };

    EditHistory();
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // The document whose changes are recorded; another path, or "", drops the history.
    void setDocument(const QString& path);
    QString document() const;
    // Changes to path are recorded.
    bool records(const QString& path) const;
    void clear();
    // Called after the recorded steps changed.
    void setChangedHandler(std::function<void()> handler);

    // Changes, carried out whether or not path is the recorded document.
    WriteResult deletePage(const QString& path, int index);
    WriteResult movePage(const QString& path, int from, int to);
    // A page rewritten by `write`, e.g. "Rotate Page 3".
    WriteResult changePage(const QString& path, int index, const QString& name,
                           const std::function<WriteResult()>& write);
    // One private tag of a page written by `write`, e.g. "Add Annotation". Nothing is
    // recorded when the tag's bytes stayed the same.
    WriteResult changeTag(const QString& path, int index, quint16 tag, const QString& name,
                          const std::function<WriteResult()>& write);

    // What undo and redo would do ("Delete Page 4"), "" when nothing.
    QString undoName() const;
    QString redoName() const;
    int undoCount() const;
    int redoCount() const;
    Outcome undo();
    Outcome redo();

private:
    struct Step {
        enum Kind { Delete, Move, Page, Tag } kind = Delete;
        QString name;
        int index = 0;     // the page; Move: where it was
        int to = 0;        // Move: where it went
        QString file;      // Delete: the deleted page; Page: the page as it is not now
        quint16 tag = 0;   // Tag: which
        QByteArray bytes;  // Tag: its value as it is not now ("" = no tag)
    };
    bool prepare(const QString& path);
    QString newPageFile();
    void push(Step step, const QString& path);
    Outcome apply(bool undoing);
    WriteResult swapPage(Step& step);
    WriteResult swapTag(Step& step);
    void notify();

    mutable std::mutex m_mutex;  // guards everything below but the folder's files
    QString m_path;
    FileIdentity m_identity;  // after our last write; size -1 before it
    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    std::unique_ptr<QTemporaryDir> m_folder;
    quint64 m_fileCount = 0;
    std::function<void()> m_changed;
};

}  // namespace ktdv::imaging
