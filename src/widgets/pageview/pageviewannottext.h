#pragma once
// The editor laid over a new text frame, where its text is typed in place. Enter (or
// leaving the editor) keeps the text, Shift+Enter starts a new line, Escape leaves the
// frame as it was. UI thread only.

#include <QPlainTextEdit>
#include <QString>

#include "imaging/annotationmodel.h"

namespace ktdv {

class TextFrameEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    TextFrameEditor(const QString& path, int page, const imaging::Annotation& frame,
                    QWidget* parent);

    // The document, page and frame the text belongs to.
    QString path() const { return m_path; }
    int page() const { return m_page; }
    const imaging::Annotation& frame() const { return m_frame; }
    // Writes text into the frame as the file holds it; false when the frame is not there
    // any more or the file could not be written.
    static bool storeText(const QString& path, int page, const imaging::Annotation& frame,
                          const QString& text);

Q_SIGNALS:
    // Once, when the typing ends: true to keep the text, false to drop it.
    void finished(bool keep);
    // The view under the editor repainted, so the editor follows the frame.
    void viewPainted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void finish(bool keep);

    QString m_path;
    int m_page = 0;
    imaging::Annotation m_frame;
    bool m_done = false;
};

}  // namespace ktdv
