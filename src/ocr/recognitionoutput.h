#pragma once
// Where a recognised document goes: a file in one export format, written crash-safely
// (temporary file, then rename), or the clipboard as text. The recogniser only returns
// documents; this puts them somewhere. Result codes are those of RecognitionEngine.
//
// Threads: any thread. The clipboard needs a QGuiApplication and is filled from its
// thread (a call from another thread waits for it).

#include "ocr/recognizeddocument.h"

#include <QString>

namespace ktdv::ocr {

class RecognitionOutput {
public:
    // destination and format as RecognitionEngine::convert takes them; target is the
    // file for a file destination and unused for the clipboard.
    RecognitionOutput(int destination, const QString& target, int format);

    bool toClipboard() const { return m_toClipboard; }

    // Whether the result can go there at all, asked before recognising: Ok, or the code
    // of the failure (no clipboard without a GUI, no writer for the format, a target
    // that cannot be written).
    int check() const;
    // Writes the document; Ok or the code of the failure.
    int write(const RecognizedDocument& document) const;

private:
    int writeFile(const RecognizedDocument& document) const;
    int copyToClipboard(const RecognizedDocument& document) const;

    bool m_toClipboard;
    QString m_target;
    int m_format;
};

}  // namespace ktdv::ocr
