#include "ocr/resulttext.h"

#include <QCoreApplication>

#include <array>

namespace ktdv::ocr {

namespace {

const char* source(int code) {
    static const std::array<const char*, 14> kTexts = {
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to get module"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed locating library path"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed loading library"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to initialise"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "File does not exist"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to split file"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to open page file"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to create layout"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to recognise"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to export"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to open clipboard"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to open export file"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Failed to save file"),
        QT_TRANSLATE_NOOP("ktdv::ocr", "Clipboard is empty"),
    };
    return code >= -14 && code <= -1 ? kTexts.at(static_cast<size_t>(-code - 1)) : nullptr;
}

}  // namespace

QString resultText(int code) {
    const char* text = source(code);
    return text ? QCoreApplication::translate("ktdv::ocr", text) : QString();
}

QString resultTextInEnglish(int code) {
    const char* text = source(code);
    return text ? QString::fromLatin1(text) : QString();
}

}  // namespace ktdv::ocr
