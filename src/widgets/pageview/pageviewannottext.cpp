// Typing the text of a new text frame in place: an editor over the frame that follows it
// through zooming and scrolling, and storing what was typed into the frame and its file.
#include "widgets/pageview/pageviewannottext.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineF>

#include <QAbstractScrollArea>

#include "imaging/annotationpainter.h"
#include "platform/busycursor.h"
#include "widgets/pageview/pagedisplay.h"
#include "widgets/pageview/pagedocument.h"
#include "widgets/pageview/pageturn.h"
#include "widgets/pageview/pageviewannotations.h"

namespace ktdv {

TextFrameEditor::TextFrameEditor(const QString& path, int page, const imaging::Annotation& frame,
                                 std::shared_ptr<imaging::EditHistory> history, QWidget* parent)
    : QPlainTextEdit(parent),
      m_path(path),
      m_page(page),
      m_frame(frame),
      m_history(std::move(history)) {
    setObjectName(QStringLiteral("textFrameEditor"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    // The page shows through, lightly veiled so the text being typed stands out.
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgba(255, 255, 255, 160); }"));
    if (parent)
        parent->installEventFilter(this);
}

void TextFrameEditor::finish(bool keep) {
    if (m_done)
        return;
    m_done = true;
    Q_EMIT finished(keep);
}

void TextFrameEditor::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !(event->modifiers() & Qt::ShiftModifier)) {
        finish(true);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        finish(false);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextFrameEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // Switching windows or opening the editor's own menu is not leaving it.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    finish(true);
}

bool TextFrameEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Paint && !m_done)
        Q_EMIT viewPainted();
    return QPlainTextEdit::eventFilter(watched, event);
}

bool TextFrameEditor::storeText(const QString& path, int page, const imaging::Annotation& frame,
                                const QString& text, imaging::EditHistory* history) {
    // The frame joins what the page holds now, with its text.
    imaging::AnnotationLoadResult stored = imaging::AnnotationStore::load(path, page);
    if (!stored.writable() || page < 0)
        return false;
    imaging::Annotation typed = frame;
    typed.text = text;
    stored.annotations.append(typed);
    const BusyCursor busy;
    return recordAnnotationChange(
               history, path, page,
               QCoreApplication::translate("ktdv::EditHistory", "Add Annotation"),
               [&] { return imaging::AnnotationStore::save(path, page, stored.annotations); })
        .ok;
}

// --- the page view's side ----------------------------------------------------------------

namespace {

void detach(TextFrameEditor* editor) {
    QObject::disconnect(editor, &TextFrameEditor::finished, nullptr, nullptr);
    QObject::disconnect(editor, &TextFrameEditor::viewPainted, nullptr, nullptr);
}

}  // namespace

void PageViewAnnotations::TextFrameEditorDeleter::operator()(TextFrameEditor* editor) const {
    detach(editor);
    const QString text = editor->toPlainText();
    if (!text.isEmpty())
        TextFrameEditor::storeText(editor->path(), editor->page(), editor->frame(), text,
                                   editor->history().get());
    delete editor;
}

QPlainTextEdit* PageViewAnnotations::textFrameEditor() const {
    return m_textEditor.get();
}

bool PageViewAnnotations::textFrameBelongsTo(const QString& path, int page) const {
    return m_textEditor && m_textEditor->page() == page && m_textEditor->path() == path;
}

void PageViewAnnotations::openTextFrameEditor(const imaging::Annotation& frame) {
    finishTextFrame(true);
    auto* editor = new TextFrameEditor(m_document.imagePath(), m_document.pageIndex(), frame,
                                       m_document.editHistory(), m_area.viewport());
    QObject::connect(editor, &TextFrameEditor::finished, &m_area,
                     [this](bool keep) { finishTextFrame(keep); });
    QObject::connect(editor, &TextFrameEditor::viewPainted, &m_area,
                     [this] { placeTextFrameEditor(); });
    m_textEditor.reset(editor);
    placeTextFrameEditor();
    editor->setFocus(Qt::OtherFocusReason);
}

void PageViewAnnotations::placeTextFrameEditor() {
    TextFrameEditor* editor = m_textEditor.get();
    if (!editor)
        return;
    const bool shown = !m_document.shownPage().isNull() &&
                       editor->path() == m_document.imagePath() &&
                       editor->page() == m_document.pageIndex();
    if (!shown) {
        editor->hide();
        return;
    }
    const QTransform toViewport =
        pageToViewport(m_display.pageOrigin() - m_area.viewport()->geometry().topLeft());
    const imaging::Annotation& frame = editor->frame();
    const QRect where = toViewport.mapRect(frame.rect).toAlignedRect();
    if (editor->geometry() != where)
        editor->setGeometry(where);
    // Text of the size it will be drawn in: the frame's own units are points.
    const QTransform local =
        imaging::annotationFrame(frame, pageturn::storedDpi(m_document.dpi(), m_document.turn()),
                                 nullptr) *
        toViewport;
    const int pixels =
        qMax(1, qRound(frame.fontPointSize * local.map(QLineF(0, 0, 0, 1)).length()));
    if (editor->font().pixelSize() != pixels) {
        editor->setFont(imaging::AnnotationPainter::font(pixels, false));
        // The inset the frame's text is drawn with: three points.
        editor->document()->setDocumentMargin(
            qMax(1.0, 3 * local.map(QLineF(0, 0, 0, 1)).length()));
    }
    if (!editor->isVisible())
        editor->show();
}

void PageViewAnnotations::commitTextFrame() {
    finishTextFrame(true);
}

void PageViewAnnotations::finishTextFrame(bool keep) {
    // Released rather than deleted: this may run inside the editor's own key handler.
    TextFrameEditor* editor = m_textEditor.release();
    if (!editor)
        return;
    const QString text = editor->toPlainText();
    const QString path = editor->path();
    const int page = editor->page();
    const imaging::Annotation frame = editor->frame();
    const std::shared_ptr<imaging::EditHistory> history = editor->history();
    detach(editor);
    editor->hide();
    editor->deleteLater();
    m_area.viewport()->update();
    const bool shown = path == m_document.imagePath() && page == m_document.pageIndex();
    if (!keep || text.isEmpty()) {
        // Never stored, so the file stays as it was.
        if (shown)
            m_annotations.dropUnstored(pageInView(), frame);
        return;
    }

    const bool saved = TextFrameEditor::storeText(path, page, frame, text, history.get());
    if (path != m_document.imagePath())
        return;
    if (saved)
        adoptRewrittenFile();
    if (shown)
        m_annotations.setFrameText(pageInView(), frame, text);
}

}  // namespace ktdv
