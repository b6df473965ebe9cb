#pragma once
// HTML5 in UTF-8 that carries the page layout in hOCR classes and titles: ocr_page,
// ocr_carea, ocr_par, ocr_line and ocrx_word elements with their bounding boxes and the
// word confidences (x_wconf).

#include "ocr/writers/exportwriter.h"

namespace ktdv::ocr {

class HocrWriter : public ExportWriter {
protected:
    bool beginDocument() override;
    bool writePage(const RecognizedPage& page) override;
    bool endDocument() override;
};

}  // namespace ktdv::ocr
