#include "imaging/tiffedit.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace ktdv::imaging::detail {

namespace {

constexpr quint16 kPageNumber = 297;

WriteResult failure(const QString& message) {
    WriteResult r;
    r.error = message;
    return r;
}

QString errnoText() {
    return QString::fromLocal8Bit(strerror(errno));
}

bool readOnly(const QByteArray& native) {
    struct stat st;
    if (::stat(native.constData(), &st) != 0)
        return false;
    return (st.st_mode & 0222) == 0 || ::access(native.constData(), W_OK) != 0;
}

bool sync(int fd) {
    return !faults::hit(faults::Step::Sync) && ::fdatasync(fd) == 0;
}

}  // namespace

TiffEdit::~TiffEdit() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TiffEdit::open(const QString& path, bool write, WriteResult* result) {
    m_path = path;
    const QByteArray native = QFile::encodeName(path);
    if (!QFileInfo::exists(path)) {
        *result =
            failure(QCoreApplication::translate("ktdv::imaging", "%1 does not exist").arg(path));
        return false;
    }
    if (write && readOnly(native)) {
        *result =
            failure(QCoreApplication::translate("ktdv::imaging", "%1 is read-only").arg(path));
        return false;
    }
    m_fd = ::open(native.constData(), (write ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) {
        *result = failure(QCoreApplication::translate("ktdv::imaging", "Cannot read %1: %2")
                              .arg(path, errnoText()));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *result = failure(
            QCoreApplication::translate("ktdv::imaging", "%1 is not a regular file").arg(path));
        return false;
    }
    m_size = quint64(st.st_size);
    QString error = QCoreApplication::translate("ktdv::imaging", "Not a TIFF file");
    if (tiff::readFormat(m_fd, m_size, &m_format, &m_firstIfd)) {
        error.clear();
        m_source = std::make_unique<tiff::FileSource>(m_fd, m_size, m_format);
        if (tiff::readPages(*m_source, m_firstIfd, &m_pages, &error))
            return true;
    }
    *result = failure(
        QCoreApplication::translate("ktdv::imaging", "Cannot edit %1: %2").arg(path, error));
    return false;
}

tiff::Sink& TiffEdit::sink() {
    if (!m_sink) {
        m_sink = std::make_unique<tiff::Sink>(m_fd, m_size, m_format, true);
        m_sink->align();
    }
    return *m_sink;
}

void TiffEdit::renumber() {
    const bool big = m_format.bigEndian;
    const quint32 total = quint32(qMin<size_t>(m_pages.size(), 0xFFFF));
    for (size_t i = 0; i < m_pages.size(); ++i) {
        tiff::Directory& page = m_pages[i];
        const tiff::DirEntry* e = page.find(kPageNumber);
        const int size = e ? tiff::typeSize(e->type) : 0;
        if (!e || e->count < 2 || (size != 2 && size != 4))
            continue;
        tiff::DirEntry numbered = *e;
        numbered.value = tiff::valueOf(*m_source, *e);
        if (numbered.value.size() < 2 * size)
            continue;
        const QByteArray before = numbered.value;
        auto* p = reinterpret_cast<uchar*>(numbered.value.data());
        if (size == 2) {
            tiff::put16(p, quint16(i), big);
            tiff::put16(p + 2, quint16(total), big);
        } else {
            tiff::put32(p, quint32(i), big);
            tiff::put32(p + 4, total, big);
        }
        if (numbered.value == before)
            continue;
        numbered.valueAt = 0;
        page.set(numbered);
        page.changed = true;
    }
}

quint64 TiffEdit::deadBytes() const {
    quint64 live = m_format.header().size();
    for (const tiff::Directory& page : m_pages)
        live += tiff::tableBytes(page, m_format) + page.dataBytes;
    const quint64 size = m_sink ? m_sink->pos() : m_size;
    return size - qMin(size, live);
}

bool TiffEdit::writeFirstLink(quint64 value) {
    uchar link[8];
    if (m_format.bigTiff)
        tiff::put64(link, value, m_format.bigEndian);
    else
        tiff::put32(link, quint32(value), m_format.bigEndian);
    const ssize_t n = qsizetype(m_format.linkSize());
    return ::pwrite(m_fd, link, size_t(n), off_t(m_format.firstLinkAt())) == n;
}

void TiffEdit::undoAppend(bool headerWritten) {
    if (headerWritten) {
        // Point the header back at the old chain; only when it does is the tail cut off.
        writeFirstLink(m_firstIfd);
        ::fdatasync(m_fd);
        quint64 now = 0;
        tiff::Format format;
        if (!tiff::readFormat(m_fd, m_size, &format, &now) || now != m_firstIfd)
            return;
    }
    if (!faults::hit(faults::Step::Truncate))
        (void)::ftruncate(m_fd, off_t(m_size));  // best effort: the old chain is whole anyway
}

WriteResult TiffEdit::commit(bool* tooLarge) {
    const size_t n = m_pages.size();
    // A directory is stored anew when it changed or when what follows it did. The first
    // always is: the file then always grows, so nothing mistakes it for the old one.
    std::vector<char> anew(n);
    for (size_t i = n; i-- > 0;) {
        const tiff::Directory& p = m_pages[i];
        const quint64 nextAt = i + 1 < n ? m_pages[i + 1].at : 0;
        anew[i] =
            p.changed || p.at == 0 || i == 0 || (i + 1 < n && anew[i + 1]) || p.next != nextAt;
    }
    tiff::Sink& out = sink();
    quint64 first = 0;
    for (size_t i = 0; i < n; ++i) {
        if (!anew[i])
            break;  // the rest of the chain stays as it is
        const bool nextAnew = i + 1 < n && anew[i + 1];
        quint64 link = 0;
        const quint64 at = tiff::writeDirectory(
            out, m_pages[i], nextAnew || i + 1 == n ? 0 : m_pages[i + 1].at, &link);
        if (i == 0)
            first = at;
        if (nextAnew)
            m_pages[i].next = link;  // patched below, once the next one has its place
        m_pages[i].at = at;
    }
    for (size_t i = 0; i + 1 < n && anew[i + 1]; ++i)
        out.patchLink(m_pages[i].next, m_pages[i + 1].at);
    if (!m_format.bigTiff && out.pos() > 0xFFFFFFFFull) {
        if (tooLarge)
            *tooLarge = true;
        undoAppend(false);
        return failure(
            QCoreApplication::translate("ktdv::imaging", "%1 would exceed 4 GB").arg(m_path));
    }
    if (!out.flush()) {
        undoAppend(false);
        return failure(out.error());
    }
    if (!sync(m_fd)) {
        undoAppend(false);
        return failure(
            QCoreApplication::translate("ktdv::imaging", "Cannot flush the file to disk"));
    }
    if (faults::hit(faults::Step::Switch) || !writeFirstLink(first)) {
        undoAppend(true);
        return failure(QCoreApplication::translate("ktdv::imaging", "Cannot write %1").arg(m_path));
    }
    if (!sync(m_fd)) {
        undoAppend(true);
        return failure(
            QCoreApplication::translate("ktdv::imaging", "Cannot flush the file to disk"));
    }
    WriteResult r;
    r.ok = true;
    const quint64 dead = deadBytes();
    const quint64 live = out.pos() - dead;
    if (dead > qMax(live / 4, kMinDeadBytes))
        compact(m_path);  // the edit is stored either way; a failed compaction waits for the next
    return r;
}

WriteResult editFile(const QString& path,
                     const std::function<bool(TiffEdit& edit, WriteResult* result)>& change) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        WriteResult r;
        bool tooLarge = false;
        {
            TiffEdit edit;
            if (!edit.open(path, true, &r) || !change(edit, &r))
                return r;
            if (r.ok)  // nothing to change
                return r;
            r = edit.commit(&tooLarge);
        }
        if (!tooLarge || attempt > 0)
            return r;
        const WriteResult compacted = compact(path);
        if (!compacted.ok)
            return r;
    }
    return failure(QCoreApplication::translate("ktdv::imaging", "%1 would exceed 4 GB").arg(path));
}

WriteResult compact(const QString& path) {
    TiffEdit edit;
    WriteResult r;
    if (!edit.open(path, true, &r))
        return r;
    const tiff::FileSource& src = edit.source();
    const tiff::Format& format = edit.format();
    return writeFileSafelyFd(path, [&](int fd, QString* error) {
        tiff::Sink out(fd, 0, format);
        out.append(format.header());
        tiff::CopyBudget budget = tiff::CopyBudget::forSource(src);
        quint64 link = format.firstLinkAt();
        for (const tiff::Directory& page : edit.pages()) {
            tiff::Directory copied;
            if (!tiff::copyDirectory(src, page, out, &copied, budget, error))
                return false;
            quint64 next = 0;
            out.patchLink(link, tiff::writeDirectory(out, copied, 0, &next));
            link = next;
            if (!format.bigTiff && out.pos() > 0xFFFFFFFFull) {
                *error = QCoreApplication::translate("ktdv::imaging", "The file would exceed 4 GB");
                return false;
            }
        }
        if (out.flush())
            return true;
        *error = out.error();
        return false;
    });
}

}  // namespace ktdv::imaging::detail
