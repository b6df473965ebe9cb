#include "ocr/recognitionoutput.h"

#include "imaging/safefilewriter.h"
#include "interfaces/recognitionengine.h"
#include "ocr/writers/exportwriter.h"
#include "ocr/writers/textencoding.h"
#include "ocr/writers/textlayout.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>

namespace ktdv::ocr {

RecognitionOutput::RecognitionOutput(int destination, const QString& target, int format)
    : m_toClipboard(destination == RecognitionEngine::DestinationClipboard),
      m_target(target),
      m_format(format) {}

int RecognitionOutput::check() const {
    if (m_toClipboard) {
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr
                   ? RecognitionEngine::FailedToOpenClipboard
                   : RecognitionEngine::Ok;
    }
    if (!createWriter(m_format)) {
        return RecognitionEngine::FailedToExport;
    }
    const QFileInfo out(m_target);
    if (m_target.isEmpty() || out.isDir() || !out.absoluteDir().exists() ||
        (out.exists() && !out.isWritable())) {
        return RecognitionEngine::FailedToOpenExportFile;
    }
    return RecognitionEngine::Ok;
}

int RecognitionOutput::write(const RecognizedDocument& document) const {
    return m_toClipboard ? copyToClipboard(document) : writeFile(document);
}

int RecognitionOutput::copyToClipboard(const RecognizedDocument& document) const {
    const QString text = documentText(document, QStringLiteral("\r\n"));
    if (text.trimmed().isEmpty()) {
        return RecognitionEngine::ClipboardIsEmpty;
    }
    auto fill = [text] {
        auto* mime = new QMimeData;
        mime->setText(text);
        mime->setData(QStringLiteral("text/plain;charset=windows-1252"),
                      encodeText(text, TextEncoding::Windows1252));
        QGuiApplication::clipboard()->setMimeData(mime);
    };
    if (QThread::currentThread() == qApp->thread()) {
        fill();
    } else {
        QMetaObject::invokeMethod(qApp, fill, Qt::BlockingQueuedConnection);
    }
    return RecognitionEngine::Ok;
}

int RecognitionOutput::writeFile(const RecognizedDocument& document) const {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const std::unique_ptr<ExportWriter> writer = createWriter(m_format);
        if (!writer || !writer->writeDocument(&buffer, document)) {
            return RecognitionEngine::FailedToExport;
        }
    }
    // The target is checked before our content is asked for: a refusal then means the
    // file cannot be opened for writing; anything later is a failed save.
    bool asked = false;
    const imaging::WriteResult saved = imaging::writeFileSafely(m_target, [&](QIODevice& device) {
        asked = true;
        return device.write(bytes) == bytes.size();
    });
    if (!saved.ok) {
        return asked ? RecognitionEngine::FailedToSaveFile
                     : RecognitionEngine::FailedToOpenExportFile;
    }
    return RecognitionEngine::Ok;
}

}  // namespace ktdv::ocr
