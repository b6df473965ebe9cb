#include "viewer/conversion/engineerrortext.h"

#include <array>

namespace ktdv {

QString EngineErrorText(int code) {
    static constexpr std::array<const char*, 14> kTexts{
        "Failed to get module",     "Failed locating library path", "Failed loading library",
        "Failed to initialise",     "File does not exist",          "Failed to split file",
        "Failed to open page file", "Failed to create layout",      "Failed to recognise",
        "Failed to export",         "Failed to open clipboard",     "Failed to open export file",
        "Failed to save file",      "Clipboard is empty",
    };
    if (code > -1 || code < -14)
        return QString();
    return QString::fromLatin1(kTexts[static_cast<size_t>(-code - 1)]);
}

}  // namespace ktdv
