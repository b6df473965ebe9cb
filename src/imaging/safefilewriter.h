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

// Fault injection for tests: make the n-th (1-based) occurrence of a step fail.
namespace faults {
enum class Step { Open, Write, Flush, Rename };
void failAt(Step step, int occurrence = 1);
void reset();
// Called on the writing thread just before each step is carried out (before any injected
// failure), so a test can watch a write or stop it at a chosen system call; empty to clear.
// reset() leaves it in place.
void setObserver(std::function<void(Step)> observer);
}  // namespace faults

}  // namespace ktdv::imaging
