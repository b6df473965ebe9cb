#pragma once
// Formatted text: the page's layout kept on a character grid with spaces and blank lines;
// CR LF line ends, pages separated by a form feed; DOS code page 437 or UTF-16LE.

#include "ocr/writers/exportwriter.h"
#include "ocr/writers/textencoding.h"

namespace ktdv::ocr {

class FormattedTextWriter : public ExportWriter {
public:
    explicit FormattedTextWriter(TextEncoding encoding) : m_encoding(encoding) {}

protected:
    bool beginDocument() override;
    bool writePage(const RecognizedPage& page) override;

private:
    TextEncoding m_encoding;
};

}  // namespace ktdv::ocr
