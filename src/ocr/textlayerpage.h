#pragma once
// A page whose text is read from the document's own text layer (a PDF page that carries
// text) instead of being recognised: the same result a recognition gives, one block and
// paragraph, lines as the layer groups its words, every word fully confident.

#include "imaging/document.h"
#include "ocr/recognizeddocument.h"

namespace ktdv::ocr {

// The resolution PDF pages are drawn at for recognition and for the writers.
inline constexpr double kPdfRecognitionDpi = 300.0;

// image: the page drawn at dpi (boxes of words are in its pixels).
RecognizedPage pageFromTextLayer(const QVector<imaging::TextLayerWord>& words, const QImage& image,
                                 double dpi);

}  // namespace ktdv::ocr
