#pragma once
// Base of the export writers. A writer turns a RecognizedDocument into one file format
// on a QIODevice: begin(), addPage() for each page in order, end(). The first failure
// sticks: later calls do nothing and return false, and errorString() says what failed.
// A writer is used by one thread at a time.

#include "ocr/recognizeddocument.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QIODevice;

namespace ktdv::ocr {

class ExportWriter {
public:
    virtual ~ExportWriter() = default;

    bool begin(QIODevice* device);
    bool addPage(const RecognizedPage& page);
    bool end();
    // Whole document in one call.
    bool writeDocument(QIODevice* device, const RecognizedDocument& document);

    bool hasError() const { return !m_error.isEmpty(); }
    QString errorString() const { return m_error; }
    int pagesWritten() const { return m_pages; }

protected:
    virtual bool beginDocument() { return true; }
    virtual bool writePage(const RecognizedPage& page) = 0;
    virtual bool endDocument() { return true; }

    // Appends bytes to the device; false (and the error set) when the device refuses them.
    bool write(const QByteArray& bytes);
    bool fail(const QString& why);
    qint64 bytesWritten() const { return m_bytes; }

private:
    QIODevice* m_device = nullptr;
    QString m_error;
    qint64 m_bytes = 0;
    int m_pages = 0;
    bool m_begun = false;
};

// Export format codes of the engine.
enum ExportFormat {
    FormatRtf = 1,
    FormatAnsiText = 2,
    FormatDosText = 3,
    FormatUnicodeText = 4,
    FormatTabular = 5,
    FormatDosFormatted = 6,
    FormatUnicodeFormatted = 7,
    FormatHtml = 9,
    FormatPdfTextOnly = 10,
    FormatPdfTextOnImage = 11,
    FormatPdfImageOnText = 12,
    FormatPdfAnnotated = 13,  // as 12, with the page's annotations as PDF annotations
};

// Whether a format writes the pages' annotations: its pages keep their stored geometry
// (not turned or deskewed), so the annotations lie where they were drawn.
inline bool formatCarriesAnnotations(int format) {
    return format == FormatPdfAnnotated;
}

// The writer of a format code; nullptr for a code no writer exists for (8, out of range).
std::unique_ptr<ExportWriter> createWriter(int format);

}  // namespace ktdv::ocr
