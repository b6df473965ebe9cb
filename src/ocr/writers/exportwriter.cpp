#include "ocr/writers/exportwriter.h"

#include <QIODevice>

namespace ktdv::ocr {

bool ExportWriter::begin(QIODevice* device) {
    if (hasError()) {
        return false;
    }
    if (m_begun) {
        return fail(QStringLiteral("begin called twice"));
    }
    if (device == nullptr || !device->isWritable()) {
        return fail(QStringLiteral("output is not writable"));
    }
    m_device = device;
    m_begun = true;
    return beginDocument() && !hasError();
}

bool ExportWriter::addPage(const RecognizedPage& page) {
    if (hasError()) {
        return false;
    }
    if (!m_begun) {
        return fail(QStringLiteral("page added before begin"));
    }
    if (!writePage(page) || hasError()) {
        return fail(m_error.isEmpty() ? QStringLiteral("page could not be written") : m_error);
    }
    ++m_pages;
    return true;
}

bool ExportWriter::end() {
    if (hasError()) {
        return false;
    }
    if (!m_begun) {
        return fail(QStringLiteral("end called before begin"));
    }
    const bool ok = endDocument() && !hasError();
    m_begun = false;
    return ok;
}

bool ExportWriter::writeDocument(QIODevice* device, const RecognizedDocument& document) {
    if (!begin(device)) {
        return false;
    }
    for (const RecognizedPage& page : document.pages) {
        if (!addPage(page)) {
            return false;
        }
    }
    return end();
}

bool ExportWriter::write(const QByteArray& bytes) {
    if (hasError()) {
        return false;
    }
    if (bytes.isEmpty()) {
        return true;
    }
    if (m_device->write(bytes) != bytes.size()) {
        return fail(QStringLiteral("write failed: ") + m_device->errorString());
    }
    m_bytes += bytes.size();
    return true;
}

bool ExportWriter::fail(const QString& why) {
    if (m_error.isEmpty()) {
        m_error = why.isEmpty() ? QStringLiteral("export failed") : why;
    }
    return false;
}

}  // namespace ktdv::ocr
