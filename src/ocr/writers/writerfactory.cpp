#include "ocr/writers/exportwriter.h"
#include "ocr/writers/formattedtextwriter.h"
#include "ocr/writers/hocrwriter.h"
#include "ocr/writers/pdfwriter.h"
#include "ocr/writers/plaintextwriter.h"
#include "ocr/writers/rtfwriter.h"
#include "ocr/writers/tabularwriter.h"

namespace ktdv::ocr {

std::unique_ptr<ExportWriter> createWriter(int format) {
    switch (format) {
        case FormatRtf:
            return std::make_unique<RtfWriter>();
        case FormatAnsiText:
            return std::make_unique<PlainTextWriter>(TextEncoding::Windows1252);
        case FormatDosText:
            return std::make_unique<PlainTextWriter>(TextEncoding::Cp437);
        case FormatUnicodeText:
            return std::make_unique<PlainTextWriter>(TextEncoding::Utf16LE);
        case FormatTabular:
            return std::make_unique<TabularWriter>();
        case FormatDosFormatted:
            return std::make_unique<FormattedTextWriter>(TextEncoding::Cp437);
        case FormatUnicodeFormatted:
            return std::make_unique<FormattedTextWriter>(TextEncoding::Utf16LE);
        case FormatHtml:
            return std::make_unique<HocrWriter>();
        case FormatPdfTextOnly:
            return std::make_unique<PdfWriter>(PdfWriter::Variant::TextOnly);
        case FormatPdfTextOnImage:
            return std::make_unique<PdfWriter>(PdfWriter::Variant::TextOnImage);
        case FormatPdfImageOnText:
        case FormatPdfAnnotated:
            return std::make_unique<PdfWriter>(PdfWriter::Variant::ImageOnText);
        default:
            return nullptr;
    }
}

}  // namespace ktdv::ocr
