#pragma once
// The message of a recognition result code, as users read it ("" for codes without one).

#include <QString>

namespace ktdv::ocr {

// In the language of the installed translation.
QString resultText(int code);
// Always English, for reports that scripts read.
QString resultTextInEnglish(int code);

}  // namespace ktdv::ocr
