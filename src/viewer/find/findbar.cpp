#include "viewer/find/findbar.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace ktdv {

namespace {

constexpr int kTextWidth = 220;

template <class T>
T* named(T* widget, const char* name, const QString& tip) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setToolTip(tip);
    widget->setAccessibleName(tip);
    return widget;
}

QToolButton* button(QWidget* parent, const char* name, const QString& tip) {
    auto* b = named(new QToolButton(parent), name, tip);
    b->setAutoRaise(true);
    return b;
}

}  // namespace

FindBar::FindBar(QWidget* parent)
    : QFrame(parent),
      m_text(named(new QLineEdit(this), "findText", tr("Text to find"))),
      m_previous(button(this, "findPrevious", tr("Previous match (Shift+F3)"))),
      m_next(button(this, "findNext", tr("Next match (F3)"))),
      m_matchCase(named(new QCheckBox(tr("Match case"), this), "findMatchCase", tr("Match case"))),
      m_status(named(new QLabel(this), "findStatus", tr("What was found"))),
      m_close(button(this, "findClose", tr("Close the find bar (Esc)"))) {
    setObjectName(QStringLiteral("findBar"));
    setAccessibleName(tr("Find text"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_text->setPlaceholderText(tr("Find text"));
    m_text->setClearButtonEnabled(true);
    // The line edit's own clear button, named for assistive technologies.
    for (QAction* clear : m_text->findChildren<QAction*>())
        clear->setText(tr("Clear the text to find"));
    for (QWidget* clear : m_text->findChildren<QWidget*>()) {
        clear->setAccessibleName(tr("Clear the text to find"));
        clear->setAccessibleDescription(clear->accessibleName());
    }
    m_text->setMinimumWidth(kTextWidth);
    m_previous->setArrowType(Qt::UpArrow);
    m_next->setArrowType(Qt::DownArrow);
    m_close->setText(QStringLiteral("\u2715"));
    m_status->setTextInteractionFlags(Qt::NoTextInteraction);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->addWidget(m_text);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(m_matchCase);
    row->addWidget(m_status, 1);
    row->addWidget(m_close);
    setNavigable(false);
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &FindBar::searchChanged);
    connect(m_matchCase, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(m_next, &QToolButton::clicked, this, &FindBar::nextWanted);
    connect(m_previous, &QToolButton::clicked, this, &FindBar::previousWanted);
    connect(m_close, &QToolButton::clicked, this, &FindBar::closeWanted);
    hide();
}

QString FindBar::text() const {
    return m_text->text();
}

Qt::CaseSensitivity FindBar::caseSensitivity() const {
    return m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

QString FindBar::status() const {
    return m_status->text();
}

void FindBar::setStatus(const QString& status) {
    m_status->setText(status);
}

void FindBar::setNavigable(bool on) {
    m_previous->setEnabled(on);
    m_next->setEnabled(on);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                emit previousWanted();
            else
                emit nextWanted();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    // Esc in the bar or any of its controls (they leave it to the bar).
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        emit closeWanted();
    else
        QFrame::keyPressEvent(event);
}

}  // namespace ktdv
