#pragma once
// Every per-user setting the viewer keeps: its key in the settings file, how its value is
// written (Boolean as True/False, number as decimal text) and the value a missing key
// stands for. Keys and defaults are spelled here and nowhere else.

#include <array>

namespace ktdv::settings {

enum class Type { Bool, Number };

struct Setting {
    const char* key;
    Type type;
    int defaultValue;  // Booleans: 0 False, 1 True
};

// Thumbnail pane shown.
inline constexpr Setting Thumbs{"bThumbs", Type::Bool, 0};
// The last document loaded was read-only.
inline constexpr Setting ReadOnly{"bReadOnly", Type::Bool, 1};
// 1: rotations and flips of TIFF and fax pages are written back into the file.
inline constexpr Setting SaveTiffEdits{"chkSaveTIF", Type::Number, 0};
// Rectangle annotations: 1 filled, 2 hollow.
inline constexpr Setting RectangleKind{"intRect", Type::Number, 1};
// Stamp: 1 Approved, 2 Draft, 3 Received, 4 Rejected.
inline constexpr Setting StampKind{"StampType", Type::Number, 1};
// Colours as 0x00BBGGRR.
inline constexpr Setting RectFillColor{"rectFillColor", Type::Number, 0xFF0000};
inline constexpr Setting RectBorderColor{"rectBorderColor", Type::Number, 0x0000FF};
inline constexpr Setting HighlightColor{"highColor", Type::Number, 0x00FFFF};
inline constexpr Setting StampColor{"stampColor", Type::Number, 0x0000FF};
// Stamp text size in points (the page view keeps it within 4..400).
inline constexpr Setting StampFontSize{"stampFontSize", Type::Number, 16};
// Default zoom: 1..11 a percentage step, 12 fit width, 13 fit height.
inline constexpr Setting ZoomStep{"gStepInOut", Type::Number, 6};
// Smooth scaling of grey and colour pages.
inline constexpr Setting SmoothScaling{"pageViewSmooth", Type::Bool, 1};
// PDF pages with a text layer are recognised all the same instead of their text being read.
inline constexpr Setting RecognizePdfText{"pdfRecognizeText", Type::Bool, 0};

inline constexpr std::array all{Thumbs,          ReadOnly,      SaveTiffEdits,   RectangleKind,
                                StampKind,       RectFillColor, RectBorderColor, HighlightColor,
                                StampColor,      StampFontSize, ZoomStep,        SmoothScaling,
                                RecognizePdfText};

}  // namespace ktdv::settings
