#include "imaging/safefilewriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace ktdv::imaging {

namespace faults {
namespace {
QMutex g_mutex;
int g_failAt[kSteps] = {};
int g_seen[kSteps] = {};
std::function<void(Step)> g_observer;
}  // namespace

void setObserver(std::function<void(Step)> observer) {
    QMutexLocker lock(&g_mutex);
    g_observer = std::move(observer);
}

void failAt(Step step, int occurrence) {
    QMutexLocker lock(&g_mutex);
    g_failAt[int(step)] = occurrence;
    g_seen[int(step)] = 0;
}

void reset() {
    QMutexLocker lock(&g_mutex);
    for (int i = 0; i < kSteps; ++i)
        g_failAt[i] = g_seen[i] = 0;
}

bool hit(Step step) {
    std::function<void(Step)> observer;
    {
        QMutexLocker lock(&g_mutex);
        observer = g_observer;
    }
    if (observer)
        observer(step);
    QMutexLocker lock(&g_mutex);
    const int i = int(step);
    if (g_failAt[i] <= 0)
        return false;
    return ++g_seen[i] == g_failAt[i];
}
}  // namespace faults

namespace {

// The process's file creation mask (read once: umask() can only be read by setting it).
mode_t currentUmask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

QString errnoText(const QString& what, int error) {
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(strerror(error)));
}

class TempFile {
public:
    ~TempFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.isEmpty())
            ::unlink(m_path.constData());
    }
    QByteArray m_path;  // removed on destruction unless released
    int m_fd = -1;
    void release() { m_path.clear(); }
    bool closeFd() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }
};

struct Target {
    QString path;
    QByteArray native;
    QByteArray folder;
    mode_t mode = 0644;
    bool exists = false;
};

bool checkTarget(const QString& target, Target* t, QString* error) {
    QFileInfo info(target);
    if (info.isSymLink() && info.exists())  // write the file the link points to, keep the link
        info = QFileInfo(info.canonicalFilePath());
    t->path = info.absoluteFilePath();
    t->native = QFile::encodeName(t->path);
    t->folder = QFile::encodeName(info.absolutePath());
    struct stat st;
    if (::stat(t->native.constData(), &st) == 0) {
        t->exists = true;
        t->mode = st.st_mode & 07777;
        if (!S_ISREG(st.st_mode)) {
            *error = QCoreApplication::translate("ktdv::imaging", "%1 is not a regular file")
                         .arg(target);
            return false;
        }
        if (::access(t->native.constData(), W_OK) != 0 || (st.st_mode & 0222) == 0) {
            *error = QCoreApplication::translate("ktdv::imaging", "%1 is read-only").arg(target);
            return false;
        }
    }
    return true;
}

bool openTemp(const Target& t, TempFile* temp, QString* error) {
    if (faults::hit(faults::Step::Open)) {
        *error = QStringLiteral("Cannot create a temporary file (injected fault)");
        return false;
    }
    const QByteArray base = QFile::encodeName(QFileInfo(t.path).fileName());
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name = t.folder + '/' + '.' + base + ".tmp-" +
                                QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temp->m_fd = fd;
            temp->m_path = name;
            return true;
        }
        if (errno != EEXIST) {
            *error = errnoText(
                QCoreApplication::translate("ktdv::imaging", "Cannot create a temporary file"),
                errno);
            return false;
        }
    }
    *error = QCoreApplication::translate("ktdv::imaging", "Cannot create a temporary file");
    return false;
}

bool writeAllFd(int fd, const QByteArray& bytes, QString* error) {
    if (faults::hit(faults::Step::Write)) {
        *error = QStringLiteral("Cannot write the file (injected fault)");
        return false;
    }
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = errnoText(
                QCoreApplication::translate("ktdv::imaging", "Cannot write the file"), errno);
            return false;
        }
        done += n;
    }
    return true;
}

// Permissions, flush, rename, folder flush: the steps after the content is in place.
WriteResult commit(const Target& t, TempFile& temp) {
    WriteResult r;
    if (::fchmod(temp.m_fd, t.exists ? t.mode : (0666 & ~currentUmask())) != 0) {
        r.error = errnoText(
            QCoreApplication::translate("ktdv::imaging", "Cannot set the permissions"), errno);
        return r;
    }
    if (faults::hit(faults::Step::Flush) || ::fsync(temp.m_fd) != 0) {
        r.error = QCoreApplication::translate("ktdv::imaging", "Cannot flush the file to disk");
        return r;
    }
    if (!temp.closeFd()) {
        r.error =
            errnoText(QCoreApplication::translate("ktdv::imaging", "Cannot close the file"), errno);
        return r;
    }
    if (faults::hit(faults::Step::Rename) ||
        ::rename(temp.m_path.constData(), t.native.constData()) != 0) {
        r.error = QCoreApplication::translate("ktdv::imaging", "Cannot replace %1").arg(t.path);
        return r;
    }
    temp.release();
    const int dir = ::open(t.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);  // the rename is durable once the folder is
        ::close(dir);
    }
    r.ok = true;
    return r;
}

}  // namespace

WriteResult writeFileSafely(const QString& target, const std::function<bool(QIODevice&)>& write) {
    WriteResult r;
    Target t;
    if (!checkTarget(target, &t, &r.error))
        return r;
    QByteArray content;
    {
        QBuffer buffer(&content);
        buffer.open(QIODevice::WriteOnly);
        if (!write || !write(buffer)) {
            r.error = QCoreApplication::translate("ktdv::imaging",
                                                  "The new content of %1 could not be made")
                          .arg(target);
            return r;
        }
    }
    TempFile temp;
    if (!openTemp(t, &temp, &r.error))
        return r;
    if (!writeAllFd(temp.m_fd, content, &r.error))
        return r;
    return commit(t, temp);
}

WriteResult writeFileSafelyFd(const QString& target,
                              const std::function<bool(int fd, QString* error)>& write) {
    WriteResult r;
    Target t;
    if (!checkTarget(target, &t, &r.error))
        return r;
    TempFile temp;
    if (!openTemp(t, &temp, &r.error))
        return r;
    if (faults::hit(faults::Step::Write)) {
        r.error = QStringLiteral("Cannot write the file (injected fault)");
        return r;
    }
    QString error;
    if (!write || !write(temp.m_fd, &error)) {
        r.error = error.isEmpty() ? QCoreApplication::translate(
                                        "ktdv::imaging", "The new content of %1 could not be made")
                                        .arg(target)
                                  : error;
        return r;
    }
    return commit(t, temp);
}

WriteResult writeFileSafelyViaPath(const QString& target,
                                   const std::function<bool(const QString& tempPath)>& write) {
    WriteResult r;
    Target t;
    if (!checkTarget(target, &t, &r.error))
        return r;
    TempFile temp;
    if (!openTemp(t, &temp, &r.error))
        return r;
    // The writer gets the (empty) temporary file by name and fills it; we then open it
    // again to flush it.
    temp.closeFd();
    if (!write || !write(QFile::decodeName(temp.m_path))) {
        r.error =
            QCoreApplication::translate("ktdv::imaging", "The new content of %1 could not be made")
                .arg(target);
        return r;
    }
    if (faults::hit(faults::Step::Write)) {
        r.error = QStringLiteral("Cannot write the file (injected fault)");
        return r;
    }
    temp.m_fd = ::open(temp.m_path.constData(), O_RDWR | O_CLOEXEC);
    if (temp.m_fd < 0) {
        r.error = errnoText(
            QCoreApplication::translate("ktdv::imaging", "Cannot reopen the temporary file"),
            errno);
        return r;
    }
    return commit(t, temp);
}

}  // namespace ktdv::imaging
