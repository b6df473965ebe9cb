#pragma once
// Every write to a user's file goes through here: a temporary file in the same folder,
// written, flushed, fsync'ed, then renamed over the original and the folder fsync'ed.
// The original's permissions are kept. On any failure the temporary file is removed and
// the original is untouched. Read-only targets are refused.

#include <QString>

#include <functional>

class QIODevice;

namespace ktdv::imaging {

struct WriteResult {
    bool ok = false;
    QString error;
};

// Calls write(device) to fill the temporary file; write returns false to abandon.
WriteResult writeFileSafely(const QString& target, const std::function<bool(QIODevice&)>& write);
// The same with a temporary path for writers that need a file name (libtiff).
WriteResult writeFileSafelyViaPath(const QString& target,
                                   const std::function<bool(const QString& tempPath)>& write);

// The same for a writer that fills the temporary file through its descriptor (positioned
// writes allowed), so that a large file is never held in memory.
WriteResult writeFileSafelyFd(const QString& target,
                              const std::function<bool(int fd, QString* error)>& write);

// Fault injection for tests: make the n-th (1-based) occurrence of a step fail.
// Open, Write, Flush, Rename: the temporary-file-and-rename path. Append, Sync, Switch,
// Truncate: an edit in place (new data written after the file's end, flushed, the header
// switched to it, flushed again; on failure the file is cut back to its old end).
namespace faults {
enum class Step { Open, Write, Flush, Rename, Append, Sync, Switch, Truncate };
inline constexpr int kSteps = 8;
void failAt(Step step, int occurrence = 1);
void reset();
// Called on the writing thread just before each step is carried out (before any injected
// failure), so a test can watch a write or stop it at a chosen system call; empty to clear.
// reset() leaves it in place.
void setObserver(std::function<void(Step)> observer);
// Called by the writers just before each step: true when this occurrence is to fail.
bool hit(Step step);
}  // namespace faults

}  // namespace ktdv::imaging
