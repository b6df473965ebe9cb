#pragma once
// Rich text: one RTF paragraph per recognised paragraph, a page break between pages.
// Only 7-bit characters are written as they are; others as \uN? escapes.

#include "ocr/writers/exportwriter.h"

namespace ktdv::ocr {

class RtfWriter : public ExportWriter {
public:
    // RTF body text of a string: control characters escaped, non-ASCII as \uN?.
    static QByteArray escape(const QString& text);

protected:
    bool beginDocument() override;
    bool writePage(const RecognizedPage& page) override;
    bool endDocument() override;
};

}  // namespace ktdv::ocr
