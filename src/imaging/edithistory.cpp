#include "imaging/edithistory.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVector>

#include <sys/stat.h>

#include "imaging/decoders.h"
#include "imaging/tiffbytes.h"
#include "imaging/tiffpageedit.h"
#include "imaging/tiffpagetransfer.h"

namespace ktdv::imaging {

namespace {

constexpr qint64 kDirectoryBytes = 4096;  // of the first directory, for the digest

void removeFile(const QString& file) {
    if (!file.isEmpty())
        QFile::remove(file);
}

QString normalised(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

WriteResult failure(const QString& message) {
    return WriteResult{false, message};
}

// A tag of one page as the file holds it now. The directory chain is walked afresh: a file
// rewritten twice within one tick of the clock may keep its size and time stamp.
QByteArray readTag(const QString& path, int index, quint16 tag, TagRead* how) {
    *how = TagRead::Unreadable;
    QFile file(path);
    QVector<quint64> offsets;
    QVector<PageInfo> pages;
    QString error;
    if (!file.open(QIODevice::ReadOnly) || !detail::scanTiffPages(file, &offsets, &pages, &error) ||
        index < 0 || index >= offsets.size())
        return {};
    return detail::readTiffTag(file, offsets.at(index), tag, how);
}

}  // namespace

FileIdentity FileIdentity::of(const QString& path) {
    FileIdentity id;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return id;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QByteArray head = file.read(16);
    hash.addData(head);
    if (head.size() >= 8 && (head.startsWith("II") || head.startsWith("MM"))) {
        const tiff::ByteView bytes(reinterpret_cast<const uchar*>(head.constData()),
                                   quint64(head.size()), head.startsWith("MM"));
        const quint64 first = bytes.u16(2) == 43 ? bytes.u64(8) : bytes.u32(4);
        if (first > 0 && first < quint64(id.size) && file.seek(qint64(first)))
            hash.addData(file.read(kDirectoryBytes));
    }
    id.digest = hash.result();
    return id;
}

EditHistory::EditHistory() = default;

EditHistory::~EditHistory() = default;

void EditHistory::setDocument(const QString& path) {
    const QString p = normalised(path);
    {
        const std::lock_guard lock(m_mutex);
        if (p == m_path)
            return;
        m_path = p;
    }
    clear();
}

QString EditHistory::document() const {
    const std::lock_guard lock(m_mutex);
    return m_path;
}

bool EditHistory::records(const QString& path) const {
    const std::lock_guard lock(m_mutex);
    return !m_path.isEmpty() && normalised(path) == m_path;
}

void EditHistory::clear() {
    {
        const std::lock_guard lock(m_mutex);
        m_undo.clear();
        m_redo.clear();
        m_folder.reset();  // and every page kept in it
        m_identity = {};
    }
    notify();
}

void EditHistory::setChangedHandler(std::function<void()> handler) {
    const std::lock_guard lock(m_mutex);
    m_changed = std::move(handler);
}

void EditHistory::notify() {
    std::function<void()> changed;
    {
        const std::lock_guard lock(m_mutex);
        changed = m_changed;
    }
    if (changed)
        changed();
}

QString EditHistory::undoName() const {
    const std::lock_guard lock(m_mutex);
    return m_undo.empty() ? QString() : m_undo.back().name;
}

QString EditHistory::redoName() const {
    const std::lock_guard lock(m_mutex);
    return m_redo.empty() ? QString() : m_redo.back().name;
}

int EditHistory::undoCount() const {
    const std::lock_guard lock(m_mutex);
    return int(m_undo.size());
}

int EditHistory::redoCount() const {
    const std::lock_guard lock(m_mutex);
    return int(m_redo.size());
}

bool EditHistory::prepare(const QString& path) {
    bool dropped = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_path.isEmpty() || normalised(path) != m_path)
            return false;
        // Changed by someone else since our last write: what was recorded no longer applies.
        dropped = m_identity.size >= 0 && FileIdentity::of(m_path) != m_identity;
    }
    if (dropped)
        clear();
    return true;
}

QString EditHistory::newPageFile() {
    const std::lock_guard lock(m_mutex);
    if (!m_folder) {
        QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        if (base.isEmpty() || !QDir().mkpath(base))
            base = QDir::tempPath();
        m_folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/edit-history-XXXXXX"));
        if (!m_folder->isValid())
            m_folder = std::make_unique<QTemporaryDir>();
        if (!m_folder->isValid()) {
            m_folder.reset();
            return {};
        }
    }
    return m_folder->filePath(QStringLiteral("page-%1.tif").arg(++m_fileCount));
}

void EditHistory::push(Step step, const QString& path) {
    {
        const std::lock_guard lock(m_mutex);
        for (const Step& s : m_redo)
            removeFile(s.file);
        m_redo.clear();
        m_undo.push_back(std::move(step));
        while (m_undo.size() > size_t(kMaxSteps)) {
            removeFile(m_undo.front().file);
            m_undo.pop_front();
        }
        m_identity = FileIdentity::of(path);
    }
    notify();
}

WriteResult EditHistory::deletePage(const QString& path, int index) {
    if (!prepare(path))
        return imaging::deletePage(path, index);
    const QString file = newPageFile();
    if (file.isEmpty())
        return failure(QCoreApplication::translate(
            "ktdv::imaging", "No temporary folder to keep the page in for undo"));
    WriteResult r = extractPage(path, index, file);
    if (r.ok)
        r = imaging::deletePage(path, index);
    if (!r.ok) {
        QFile::remove(file);
        return r;
    }
    const QString name =
        QCoreApplication::translate("ktdv::EditHistory", "Delete Page %1").arg(index + 1);
    push({Step::Delete, name, index, 0, file, 0, {}}, path);
    return r;
}

WriteResult EditHistory::movePage(const QString& path, int from, int to) {
    const bool recording = prepare(path);
    const WriteResult r = imaging::movePage(path, from, to);
    if (recording && r.ok && from != to) {
        const QString name =
            QCoreApplication::translate("ktdv::EditHistory", "Move Page %1").arg(from + 1);
        push({Step::Move, name, from, to, {}, 0, {}}, path);
    }
    return r;
}

WriteResult EditHistory::changePage(const QString& path, int index, const QString& name,
                                    const std::function<WriteResult()>& write) {
    if (!prepare(path))
        return write();
    const QString file = newPageFile();
    if (file.isEmpty())
        return failure(QCoreApplication::translate(
            "ktdv::imaging", "No temporary folder to keep the page in for undo"));
    WriteResult r = extractPage(path, index, file);
    if (r.ok)
        r = write();
    if (!r.ok) {
        QFile::remove(file);
        return r;
    }
    push({Step::Page, name, index, 0, file, 0, {}}, path);
    return r;
}

WriteResult EditHistory::changeTag(const QString& path, int index, quint16 tag, const QString& name,
                                   const std::function<WriteResult()>& write) {
    if (!prepare(path))
        return write();
    TagRead how = TagRead::Absent;
    const QByteArray before = readTag(path, index, tag, &how);
    const bool known = how == TagRead::Read || how == TagRead::Absent;
    const WriteResult r = write();
    if (!r.ok)
        return r;
    if (!known) {
        clear();  // a change that cannot be taken back: nothing before it can be either
        return r;
    }
    const QByteArray after = readTag(path, index, tag, &how);
    if (after != before || (how != TagRead::Read && how != TagRead::Absent))
        push({Step::Tag, name, index, 0, {}, tag, before}, path);
    return r;
}

EditHistory::Outcome EditHistory::undo() {
    return apply(true);
}

EditHistory::Outcome EditHistory::redo() {
    return apply(false);
}

EditHistory::Outcome EditHistory::apply(bool undoing) {
    Outcome outcome;
    Step step;
    {
        const std::lock_guard lock(m_mutex);
        std::deque<Step>& from = undoing ? m_undo : m_redo;
        if (from.empty()) {
            outcome.error =
                undoing ? QCoreApplication::translate("ktdv::imaging", "There is nothing to undo")
                        : QCoreApplication::translate("ktdv::imaging", "There is nothing to redo");
            return outcome;
        }
        outcome.changedOutside = FileIdentity::of(m_path) != m_identity;
        if (!outcome.changedOutside) {
            step = std::move(from.back());
            from.pop_back();
        }
    }
    if (outcome.changedOutside) {
        clear();
        outcome.error = QCoreApplication::translate(
            "ktdv::imaging",
            "The document was changed outside this viewer after its last change here");
        return outcome;
    }

    WriteResult r;
    outcome.page = step.index;
    switch (step.kind) {
        case Step::Delete:
            r = undoing ? insertPage(m_path, step.index, step.file)
                        : imaging::deletePage(m_path, step.index);
            break;
        case Step::Move:
            r = undoing ? imaging::movePage(m_path, step.to, step.index)
                        : imaging::movePage(m_path, step.index, step.to);
            outcome.page = undoing ? step.index : step.to;
            break;
        case Step::Page:
            r = swapPage(step);
            break;
        case Step::Tag:
            r = swapTag(step);
            break;
    }
    outcome.ok = r.ok;
    outcome.error = r.error;
    {
        const std::lock_guard lock(m_mutex);
        // Failed: the file is as it was, and so is the step.
        (r.ok == undoing ? m_redo : m_undo).push_back(std::move(step));
        if (r.ok)
            m_identity = FileIdentity::of(m_path);
    }
    notify();
    return outcome;
}

WriteResult EditHistory::swapPage(Step& step) {
    const QString now = newPageFile();
    if (now.isEmpty())
        return failure(QCoreApplication::translate("ktdv::imaging",
                                                   "No temporary folder to keep the page in"));
    WriteResult r = extractPage(m_path, step.index, now);
    if (r.ok)
        r = replacePage(m_path, step.index, step.file);
    if (!r.ok) {
        QFile::remove(now);
        return r;
    }
    QFile::remove(step.file);
    step.file = now;
    return r;
}

WriteResult EditHistory::swapTag(Step& step) {
    TagRead how = TagRead::Absent;
    const QByteArray now = readTag(m_path, step.index, step.tag, &how);
    if (how != TagRead::Read && how != TagRead::Absent)
        return failure(
            QCoreApplication::translate("ktdv::imaging", "The page's tag %1 cannot be read")
                .arg(step.tag));
    const WriteResult r = writePageTag(m_path, step.index, step.tag, step.bytes);
    if (r.ok)
        step.bytes = now;
    return r;
}

}  // namespace ktdv::imaging
