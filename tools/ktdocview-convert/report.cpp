#include "report.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace ktdv::convert {

namespace {

struct Entry {
    ReportLine line;
    qint64 finishedMs = 0;
};

bool isSkipped(const Entry& e) {
    return e.line.status == QLatin1String("skipped");
}

// Whether `e` says more about its document than `old`: the newer line counts, except that
// "skipped" (the output was there) adds nothing to a line of a conversion.
bool supersedes(const Entry& e, const Entry& old) {
    const bool newer = e.finishedMs >= old.finishedMs;
    if (isSkipped(old)) {
        return !isSkipped(e) || newer;
    }
    return newer && (!isSkipped(e) || old.line.status == QLatin1String("failed"));
}

QString fileName(int task) {
    return QStringLiteral("report-%1.jsonl").arg(task);
}

}  // namespace

ReportWriter::ReportWriter(const QString& folder, int task)
    : m_path(QDir(folder).filePath(fileName(task))) {
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC,
                  0666);
    if (m_fd < 0) {
        m_error = QCoreApplication::translate("ktdocview-convert", "cannot open %1: %2")
                      .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
    }
}

ReportWriter::~ReportWriter() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool ReportWriter::append(const ReportLine& line) {
    if (m_fd < 0) {
        return false;
    }
    QJsonObject o;
    o.insert(QStringLiteral("input"), line.input);
    o.insert(QStringLiteral("output"), line.output);
    o.insert(QStringLiteral("pages"), line.pages);
    o.insert(QStringLiteral("seconds"), std::round(line.seconds * 1000) / 1000);
    o.insert(QStringLiteral("status"), line.status);
    if (!line.message.isEmpty()) {
        o.insert(QStringLiteral("message"), line.message);
    }
    o.insert(QStringLiteral("finished"),
             QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    // One write with O_APPEND: lines of a task never interleave, and a task killed in
    // between leaves whole lines only.
    const QByteArray bytes = QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            m_error = QCoreApplication::translate("ktdocview-convert", "cannot write %1: %2")
                          .arg(m_path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        done += n;
    }
    return true;
}

int summarise(const QString& folder, std::FILE* out) {
    const QDir dir(folder);
    const QStringList files =
        dir.entryList({QStringLiteral("report-*.jsonl")}, QDir::Files, QDir::Name);
    QHash<QString, Entry> latest;
    int unreadable = 0;
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            ++unreadable;
            continue;
        }
        while (!file.atEnd()) {
            const QJsonObject o = QJsonDocument::fromJson(file.readLine()).object();
            const QDateTime finished = QDateTime::fromString(
                o.value(QStringLiteral("finished")).toString(), Qt::ISODateWithMs);
            Entry e;
            e.line.input = o.value(QStringLiteral("input")).toString();
            e.line.status = o.value(QStringLiteral("status")).toString();
            if (e.line.input.isEmpty() || e.line.status.isEmpty() || !finished.isValid()) {
                ++unreadable;
                continue;
            }
            e.line.output = o.value(QStringLiteral("output")).toString();
            e.line.pages = o.value(QStringLiteral("pages")).toInt();
            e.line.seconds = o.value(QStringLiteral("seconds")).toDouble();
            e.line.message = o.value(QStringLiteral("message")).toString();
            e.finishedMs = finished.toMSecsSinceEpoch();
            const auto it = latest.constFind(e.line.input);
            if (it == latest.constEnd() || supersedes(e, *it)) {
                latest.insert(e.line.input, e);
            }
        }
    }
    if (files.isEmpty()) {
        std::fprintf(out, "no reports in %s\n", qPrintable(folder));
        return 1;
    }
    qint64 pages = 0;
    qint64 convertedPages = 0;
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    QStringList failures;
    for (const Entry& e : std::as_const(latest)) {
        pages += e.line.pages;
        if (e.line.status == QLatin1String("failed")) {
            failures.append(e.line.input + QStringLiteral(": ") + e.line.message);
        } else if (e.line.status == QLatin1String("ok")) {
            convertedPages += e.line.pages;
            first = std::min(first, e.finishedMs - qint64(e.line.seconds * 1000));
            last = std::max(last, e.finishedMs);
        }
    }
    failures.sort();
    const double span = last > first ? double(last - first) / 1000 : 0;
    std::fprintf(out, "documents: %lld\npages: %lld\nfailures: %lld\n",
                 static_cast<long long>(latest.size()), static_cast<long long>(pages),
                 static_cast<long long>(failures.size()));
    std::fprintf(out, "pages per second: %.2f (%lld pages converted in %.1f s)\n",
                 span > 0 ? double(convertedPages) / span : 0.0,
                 static_cast<long long>(convertedPages), span);
    if (unreadable > 0) {
        std::fprintf(out, "unreadable report lines: %d\n", unreadable);
    }
    for (const QString& f : std::as_const(failures)) {
        std::fprintf(out, "failed: %s\n", f.toLocal8Bit().constData());
    }
    return failures.isEmpty() ? 0 : 1;
}

}  // namespace ktdv::convert
