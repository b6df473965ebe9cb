#pragma once
// The editor laid over a new text frame, where its text is typed in place. Enter (or
// leaving the editor) keeps the text, Shift+Enter starts a new line, Escape drops it. The
// frame is stored only with its text: one left empty is dropped. UI thread only.

#include <QPlainTextEdit>
#include <QString>

#include <memory>

#include "imaging/annotationmodel.h"

namespace ktdv {

namespace imaging {
class EditHistory;
}

class TextFrameEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    TextFrameEditor(const QString& path, int page, const imaging::Annotation& frame,
                    std::shared_ptr<imaging::EditHistory> history, QWidget* parent);

    // The document, page and frame the text belongs to.
    QString path() const { return m_path; }
    int page() const { return m_page; }
    const imaging::Annotation& frame() const { return m_frame; }
    // Where the stored frame is recorded as a change; null for nowhere.
    const std::shared_ptr<imaging::EditHistory>& history() const { return m_history; }
    // Adds the frame with its text to what the page holds; false when the file could not
    // be read or written.
    static bool storeText(const QString& path, int page, const imaging::Annotation& frame,
                          const QString& text, imaging::EditHistory* history);

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
    std::shared_ptr<imaging::EditHistory> m_history;
    bool m_done = false;
};

}  // namespace ktdv
