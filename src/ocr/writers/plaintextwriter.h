#pragma once
// Unformatted text: running text with the paragraphs kept (one paragraph a line, a blank
// line between paragraphs), pages separated by a form feed, CR LF line ends, in one of
// the text encodings.

#include "ocr/writers/exportwriter.h"
#include "ocr/writers/textencoding.h"

namespace ktdv::ocr {

class PlainTextWriter : public ExportWriter {
public:
    explicit PlainTextWriter(TextEncoding encoding) : m_encoding(encoding) {}

protected:
    bool beginDocument() override;
    bool writePage(const RecognizedPage& page) override;

private:
    TextEncoding m_encoding;
};

}  // namespace ktdv::ocr
