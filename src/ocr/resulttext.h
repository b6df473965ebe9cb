#pragma once
// The message of a recognition result code, as users read it ("" for codes without one).

#include <QString>

namespace ktdv::ocr {

QString resultText(int code);

}  // namespace ktdv::ocr
