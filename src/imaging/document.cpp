#include "imaging/document.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include "imaging/ccittdecoder.h"
#include "imaging/decoders.h"
#include "imaging/limits.h"
#include "imaging/pdfsource.h"

namespace ktdv::imaging {

namespace {

constexpr qint64 kHeadBytes = 4096;

bool startsWith(const QByteArray& head, const char* magic, int length) {
    return head.size() >= length && memcmp(head.constData(), magic, size_t(length)) == 0;
}

// The directories of the TIFF files opened last, by path, size, modification time and
// first bytes: the page view and the thumbnail pane open the same document one after the
// other, and reopening an unchanged file does not walk its directory chain again.
struct RecentDirectory {
    QString path;
    qint64 size = 0;
    QDateTime modified;
    size_t headHash = 0;
    QVector<quint64> offsets;
    QVector<PageInfo> pages;
    QString damage;
};
constexpr int kRecentDirectories = 4;

QMutex& recentMutex() {
    static QMutex m;
    return m;
}
QList<RecentDirectory>& recentDirectories() {
    static QList<RecentDirectory> list;
    return list;
}

// Passwords that opened PDF documents, by path, for this process only: the thumbnail pane,
// the printer and the recogniser open the document the user unlocked without asking again.
QMutex& passwordMutex() {
    static QMutex m;
    return m;
}
QHash<QString, QByteArray>& knownPasswords() {
    static QHash<QString, QByteArray> passwords;
    return passwords;
}

}  // namespace

bool Document::recentDirectory(Document& doc, size_t headHash) {
    QMutexLocker lock(&recentMutex());
    for (const RecentDirectory& r : recentDirectories()) {
        if (r.path == doc.m_path && r.size == doc.m_fileSize && r.modified == doc.m_modified &&
            r.headHash == headHash) {
            doc.m_ifdOffsets = r.offsets;
            doc.m_pages = r.pages;
            doc.m_directoryDamage = r.damage;
            return true;
        }
    }
    return false;
}

void Document::rememberDirectory(const Document& doc, size_t headHash) {
    if (!doc.m_modified.isValid())
        return;
    QMutexLocker lock(&recentMutex());
    QList<RecentDirectory>& list = recentDirectories();
    list.removeIf([&](const RecentDirectory& r) { return r.path == doc.m_path; });
    list.prepend({doc.m_path, doc.m_fileSize, doc.m_modified, headHash, doc.m_ifdOffsets,
                  doc.m_pages, doc.m_directoryDamage});
    while (list.size() > kRecentDirectories)
        list.removeLast();
}

QSizeF PageInfo::physicalSizeInches() const {
    const double dx = dpi.width() > 0 ? dpi.width() : 96.0;
    const double dy = dpi.height() > 0 ? dpi.height() : 96.0;
    return {pixelSize.width() / dx, pixelSize.height() / dy};
}

FileFormat detectFormat(const QByteArray& head) {
    if (startsWith(head, "II*\0", 4) || startsWith(head, "MM\0*", 4) ||
        startsWith(head, "II+\0", 4) || startsWith(head, "MM\0+", 4))
        return FileFormat::Tiff;
    if (startsWith(head, "BM", 2) && head.size() >= 26)
        return FileFormat::Bmp;
    if (startsWith(head, "GIF87a", 6) || startsWith(head, "GIF89a", 6))
        return FileFormat::Gif;
    if (startsWith(head, "\xFF\xD8\xFF", 3))
        return FileFormat::Jpeg;
    if (startsWith(head, "\x89PNG\r\n\x1A\n", 8))
        return FileFormat::Png;
    // Readers accept the signature anywhere in the first kilobyte.
    const int pdf = head.left(1024).indexOf("%PDF-");
    if (pdf >= 0 && head.size() >= pdf + 8)
        return FileFormat::Pdf;
    if (ccitt::looksLikeRawFax(head))
        return FileFormat::RawFaxG3;
    return FileFormat::Unknown;
}

FileFormat detectFormat(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileFormat::Unknown;
    return detectFormat(file.read(kHeadBytes));
}

std::shared_ptr<const Document> Document::open(const QString& path, QString* error) {
    return open(path, error, QByteArray(), nullptr);
}

std::shared_ptr<const Document> Document::open(const QString& path, QString* error,
                                               const QByteArray& password, bool* locked) {
    if (locked)
        *locked = false;
    QString localError;
    QString& err = error ? *error : localError;
    err.clear();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err = QCoreApplication::translate("ktdv::imaging", "The file cannot be read: %1")
                  .arg(file.errorString());
        return nullptr;
    }
    const QFileInfo fileInfo(path);
    std::shared_ptr<Document> doc(new Document);
    doc->m_path = path;
    doc->m_fileSize = file.size();
    doc->m_modified = fileInfo.lastModified();
    const QByteArray head = file.read(kHeadBytes);
    doc->m_format = detectFormat(head);

    switch (doc->m_format) {
        case FileFormat::Tiff: {
            // Read a directory at a time, not mapped: a long document's directories are
            // spread over the whole file. A pipe or special file is read whole instead.
            // A walk that stopped early keeps the pages before the break.
            const bool sequential = file.isSequential() || file.size() <= 0;
            if (sequential) {
                file.seek(0);
                const QByteArray copy = file.readAll();
                if (!detail::scanTiffPages(reinterpret_cast<const uchar*>(copy.constData()),
                                           quint64(copy.size()), &doc->m_ifdOffsets, &doc->m_pages,
                                           &err))
                    return nullptr;
            } else if (!recentDirectory(*doc, qHash(head))) {
                if (!detail::scanTiffPages(file, &doc->m_ifdOffsets, &doc->m_pages, &err))
                    return nullptr;
            }
            if (!err.isEmpty())
                doc->m_directoryDamage = err;
            err.clear();
            if (!sequential)
                rememberDirectory(*doc, qHash(head));
            break;
        }
        case FileFormat::RawFaxG3: {
            if (file.size() > limits::kMaxPageBytes) {
                err = QCoreApplication::translate("ktdv::imaging", "The fax file is too large");
                return nullptr;
            }
            file.seek(0);
            PageInfo info;
            if (!detail::probeRawFax(file.readAll(), &info, &err))
                return nullptr;
            doc->m_pages.append(info);
            break;
        }
        case FileFormat::Bmp:
        case FileFormat::Gif:
        case FileFormat::Jpeg:
        case FileFormat::Png: {
            file.close();
            PageInfo info;
            if (!detail::probeQtImage(path, doc->m_format, &info, &err))
                return nullptr;
            doc->m_pages.append(info);
            break;
        }
        case FileFormat::Pdf: {
            if (file.isSequential()) {
                err = QStringLiteral("The PDF document cannot be read");
                return nullptr;
            }
            file.close();
            QByteArray given = password;
            if (given.isEmpty()) {
                QMutexLocker lock(&passwordMutex());
                given = knownPasswords().value(path);
            }
            detail::PdfSource::Opened how;
            doc->m_pdf = detail::PdfSource::open(path, given, &doc->m_pages, &how, &err);
            if (doc->m_pdf && !given.isEmpty()) {
                QMutexLocker lock(&passwordMutex());
                knownPasswords().insert(path, given);
            }
            if (locked)
                *locked = how == detail::PdfSource::Opened::Locked;
            if (!doc->m_pdf)
                return nullptr;
            break;
        }
        case FileFormat::Unknown:
            err = QCoreApplication::translate("ktdv::imaging", "Not a picture");
            return nullptr;
    }
    return doc;
}

DecodedPage Document::decodePage(int index) const {
    DecodedPage result;
    if (index < 0 || index >= pageCount()) {
        result.complete = false;
        result.error = QCoreApplication::translate("ktdv::imaging", "No page %1 in %2")
                           .arg(index + 1)
                           .arg(m_path);
        return result;
    }
    switch (m_format) {
        case FileFormat::Tiff:
            return detail::decodeTiffPage(m_path, m_ifdOffsets.at(index));
        case FileFormat::RawFaxG3: {
            QFile file(m_path);
            if (!file.open(QIODevice::ReadOnly) || file.size() > limits::kMaxPageBytes) {
                result.complete = false;
                result.error =
                    QCoreApplication::translate("ktdv::imaging", "Cannot read %1").arg(m_path);
                return result;
            }
            return detail::decodeRawFax(file.readAll(), m_pages.at(index));
        }
        case FileFormat::Bmp:
        case FileFormat::Gif:
        case FileFormat::Jpeg:
        case FileFormat::Png:
            return detail::decodeQtImage(m_path, m_pages.at(index));
        case FileFormat::Pdf:
            return m_pdf->render(index, m_pages.at(index).dpi.width(), QRect());
        case FileFormat::Unknown:
            break;
    }
    result.complete = false;
    result.error = QCoreApplication::translate("ktdv::imaging", "Unknown file format");
    return result;
}

DecodedPage Document::renderPage(int index, double dpi, const QRect& region) const {
    if (!m_pdf || index < 0 || index >= pageCount())
        return decodePage(index);
    return m_pdf->render(index, dpi, region);
}

QVector<TextLayerWord> Document::textLayer(int index, double dpi) const {
    if (!m_pdf || index < 0 || index >= pageCount())
        return {};
    return m_pdf->words(index, dpi);
}

QByteArray Document::readPageTag(int index, quint16 tag, TagRead* how) const {
    if (how)
        *how = TagRead::Absent;
    if (m_format != FileFormat::Tiff || index < 0 || index >= m_ifdOffsets.size())
        return {};
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != m_fileSize ||
        QFileInfo(file).lastModified() != m_modified) {
        if (how)
            *how = TagRead::Unreadable;
        return {};
    }
    return detail::readTiffTag(file, m_ifdOffsets.at(index), tag, how);
}

namespace detail {

bool pageFitsLimits(qint64 width, qint64 height, int bitsPerPixelInMemory, QString* error) {
    if (width <= 0 || height <= 0) {
        if (error)
            *error = QCoreApplication::translate("ktdv::imaging", "The page has no pixels");
        return false;
    }
    if (width > limits::kMaxPageDimension || height > limits::kMaxPageDimension) {
        if (error)
            *error = QCoreApplication::translate("ktdv::imaging", "Too large: %1 x %2 pixels")
                         .arg(width)
                         .arg(height);
        return false;
    }
    const qint64 bytesPerLine = ((width * bitsPerPixelInMemory + 31) / 32) * 4;
    if (bytesPerLine * height > limits::kMaxPageBytes) {
        if (error)
            *error = QCoreApplication::translate("ktdv::imaging", "Too large: %1 x %2 pixels")
                         .arg(width)
                         .arg(height);
        return false;
    }
    return true;
}

}  // namespace detail

}  // namespace ktdv::imaging
