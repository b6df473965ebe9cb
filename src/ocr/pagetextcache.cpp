#include "ocr/pagetextcache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace ktdv::ocr {

namespace {

constexpr char kMagic[4] = {'K', 'T', 'P', 'T'};
constexpr quint32 kFormat = 1;
constexpr qint64 kMaxEntryBytes = 64LL * 1024 * 1024;
constexpr int kDigestBytes = 32;
const QString kSuffix = QStringLiteral(".ptx");

QByteArray digestOf(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The structure, picture aside, in the stream's order of fields.
void writePage(QDataStream& out, const RecognizedPage& page) {
    const PagePlacement& p = page.placement;
    out << page.size << page.dpi << p.decodedSize << p.scaleX << p.scaleY << qint32(p.quarterTurns)
        << p.skewDegrees << qint32(page.blocks.size());
    for (const RecognizedBlock& b : page.blocks) {
        out << b.box << qint32(b.paragraphs.size());
        for (const RecognizedParagraph& par : b.paragraphs) {
            out << par.box << qint32(par.lines.size());
            for (const RecognizedLine& line : par.lines) {
                out << line.box << qint32(line.baseline) << qint32(line.words.size());
                for (const RecognizedWord& w : line.words) {
                    out << w.text << w.box << w.confidence;
                }
            }
        }
    }
}

// A count read from the stream, refused when negative or more than what is left could hold.
bool readCount(QDataStream& in, qint32& count) {
    in >> count;
    return in.status() == QDataStream::Ok && count >= 0 && count <= in.device()->bytesAvailable();
}

bool readPage(QDataStream& in, RecognizedPage& page) {
    PagePlacement& p = page.placement;
    qint32 turns = 0;
    qint32 blocks = 0;
    in >> page.size >> page.dpi >> p.decodedSize >> p.scaleX >> p.scaleY >> turns >> p.skewDegrees;
    p.quarterTurns = turns;
    if (!readCount(in, blocks)) {
        return false;
    }
    page.blocks.resize(blocks);
    for (RecognizedBlock& b : page.blocks) {
        qint32 paragraphs = 0;
        in >> b.box;
        if (!readCount(in, paragraphs)) {
            return false;
        }
        b.paragraphs.resize(paragraphs);
        for (RecognizedParagraph& par : b.paragraphs) {
            qint32 lines = 0;
            in >> par.box;
            if (!readCount(in, lines)) {
                return false;
            }
            par.lines.resize(lines);
            for (RecognizedLine& line : par.lines) {
                qint32 baseline = 0;
                qint32 words = 0;
                in >> line.box >> baseline;
                line.baseline = baseline;
                if (!readCount(in, words)) {
                    return false;
                }
                line.words.resize(words);
                for (RecognizedWord& w : line.words) {
                    in >> w.text >> w.box >> w.confidence;
                }
            }
        }
    }
    return in.status() == QDataStream::Ok && in.atEnd();
}

}  // namespace

QString PageTextCache::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("pagetext"));
}

std::shared_ptr<PageTextCache> PageTextCache::shared() {
    static const std::shared_ptr<PageTextCache> cache = std::make_shared<PageTextCache>();
    return cache;
}

QByteArray PageTextCache::key(const QByteArray& pageDigest, const QByteArray& settings) {
    return digestOf(pageDigest + '\0' + settings + '\0' + QByteArray::number(kFormat));
}

PageTextCache::PageTextCache(QString folder, qint64 maxBytes)
    : m_folder(std::move(folder)), m_maxBytes(maxBytes) {}

void PageTextCache::setMaxBytes(qint64 bytes) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_maxBytes = bytes;
    m_bytes = -1;
}

qint64 PageTextCache::maxBytes() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_maxBytes;
}

QString PageTextCache::pathOf(const QByteArray& key) const {
    return QDir(m_folder).filePath(QString::fromLatin1(key.toHex()) + kSuffix);
}

bool PageTextCache::load(const QByteArray& key, RecognizedPage& page) const {
    QFile file(pathOf(key));
    if (key.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > kMaxEntryBytes) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    // magic, format, key, payload, digest of the payload
    const qsizetype head = 4 + 4 + key.size();
    if (bytes.size() < head + kDigestBytes || !bytes.startsWith(QByteArray(kMagic, 4)) ||
        bytes.mid(8, key.size()) != key) {
        return false;
    }
    const QByteArray payload = bytes.mid(head, bytes.size() - head - kDigestBytes);
    if (digestOf(payload) != bytes.right(kDigestBytes)) {
        return false;
    }
    QDataStream format(bytes.mid(4, 4));
    quint32 version = 0;
    format >> version;
    QDataStream in(payload);
    in.setVersion(QDataStream::Qt_6_4);
    RecognizedPage read;
    if (version != kFormat || !readPage(in, read)) {
        return false;
    }
    page = std::move(read);
    // Renews the entry's place in the order of use.
    file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return true;
}

void PageTextCache::store(const QByteArray& key, const RecognizedPage& page) {
    if (key.isEmpty() || !QDir().mkpath(m_folder)) {
        return;
    }
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        writePage(out, page);
    }
    QByteArray entry(kMagic, 4);
    {
        QDataStream out(&entry, QIODevice::Append);
        out << kFormat;
    }
    entry += key + payload + digestOf(payload);
    QSaveFile file(pathOf(key));
    if (!file.open(QIODevice::WriteOnly) || file.write(entry) != entry.size() || !file.commit()) {
        return;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bytes >= 0) {
        m_bytes += entry.size();
    }
    if (m_bytes < 0 || m_bytes > m_maxBytes) {
        trim();
    }
}

qint64 PageTextCache::bytesOnDisk() const {
    qint64 total = 0;
    const QDir dir(m_folder);
    for (const QFileInfo& info : dir.entryInfoList({QLatin1Char('*') + kSuffix}, QDir::Files)) {
        total += info.size();
    }
    return total;
}

void PageTextCache::trim() {
    // Others' writes since the last count are seen here too. Times come from stat(): local
    // times would set up the C library's time zone on worker threads.
    struct Entry {
        QString path;
        qint64 bytes;
        qint64 usedNs;
    };
    std::vector<Entry> entries;
    qint64 total = 0;
    const QDir dir(m_folder);
    for (const QString& name : dir.entryList({QLatin1Char('*') + kSuffix}, QDir::Files)) {
        const QString path = dir.filePath(name);
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
            entries.push_back({path, qint64(st.st_size),
                               qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
            total += qint64(st.st_size);
        }
    }
    if (total > m_maxBytes) {
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return a.usedNs < b.usedNs; });
        const qint64 goal = m_maxBytes / 10 * 9;
        for (auto it = entries.cbegin(); it != entries.cend() && total > goal; ++it) {
            if (QFile::remove(it->path)) {
                total -= it->bytes;
            }
        }
    }
    m_bytes = total;
}

}  // namespace ktdv::ocr
