#include "viewer/conversion/engineerrortext.h"

#include "ocr/resulttext.h"

namespace ktdv {

QString EngineErrorText(int code) {
    return ocr::resultText(code);
}

}  // namespace ktdv
