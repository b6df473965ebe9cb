#include "viewer/conversion/engineerrortext.h"

#include <QCoreApplication>

#include <array>

namespace ktdv {

QString EngineErrorText(int code) {
    static constexpr std::array<const char*, 14> kTexts{
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to get module"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed locating library path"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed loading library"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to initialise"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "File does not exist"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to split file"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to open page file"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to create layout"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to recognise"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to export"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to open clipboard"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to open export file"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Failed to save file"),
        QT_TRANSLATE_NOOP("ktdv::EngineErrorText", "Clipboard is empty"),
    };
    if (code > -1 || code < -14)
        return QString();
    return QCoreApplication::translate("ktdv::EngineErrorText",
                                       kTexts[static_cast<size_t>(-code - 1)]);
}

}  // namespace ktdv
