#pragma once
// Tabular data: one line of text per row of the page, cells separated by tabs where the
// page has a column gap; Windows-1252, CR LF, pages separated by a form feed.

#include "ocr/writers/exportwriter.h"

namespace ktdv::ocr {

class TabularWriter : public ExportWriter {
protected:
    bool writePage(const RecognizedPage& page) override;
};

}  // namespace ktdv::ocr
