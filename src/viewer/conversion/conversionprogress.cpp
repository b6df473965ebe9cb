#include "viewer/conversion/conversionprogress.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "interfaces/progressbar.h"

namespace ktdv {

namespace {
constexpr int kGap = 6;      // between the bar and its Cancel button
constexpr int kMargin = 12;  // kept free at the viewer's sides
}  // namespace

ConversionProgress::ConversionProgress(QWidget& viewer, ProgressBar& bar,
                                       std::function<void()> onCancel)
    : m_viewer(viewer),
      m_bar(bar),
      m_onCancel(std::move(onCancel)),
      m_cancel(new QPushButton(QCoreApplication::translate("ktdv::ConversionProgress", "Cancel"),
                               &viewer)) {
    m_cancel->setObjectName(QStringLiteral("btnCancelConversion"));
    m_cancel->setToolTip(
        QCoreApplication::translate("ktdv::ConversionProgress", "Stop the conversion (Esc)"));
    m_cancel->hide();
    connect(m_cancel, &QPushButton::clicked, this, [this] { requestCancel(); });
    m_viewer.installEventFilter(this);
}

ConversionProgress::~ConversionProgress() {
    end();
}

void ConversionProgress::begin(const QString& caption, Place place, bool cancellable) {
    end();
    m_cancellable = cancellable;
    m_cancelRequested = false;
    m_cancel->setEnabled(true);
    m_bar.setText(caption);
    QWidget* bar = m_bar.widget();
    const QSize hint = bar->sizeHint().isValid() ? bar->sizeHint() : bar->size();
    const QSize button = cancellable ? m_cancel->sizeHint() : QSize();
    const int beside = cancellable ? kGap + button.width() : 0;
    const int height = qMax(hint.height(), button.height());
    const int room = m_viewer.width() - 2 * kMargin - beside;
    const int width = qMax(1, qMin(qMax(hint.width(), m_viewer.width() / 3), room));
    const int left = m_viewer.width() / 2 - (width + beside) / 2;
    const int top =
        place == Place::Middle ? m_viewer.height() / 2 - height / 2 : m_viewer.height() / 2;
    bar->setGeometry(left, top, width, height);
    bar->show();
    bar->raise();
    if (cancellable) {
        m_cancel->setGeometry(left + width + kGap, top, button.width(), height);
        m_cancel->show();
        m_cancel->raise();
        // Escape reaches the viewer from here, whatever had the focus.
        m_focusBefore = QApplication::focusWidget();
        m_cancel->setFocus(Qt::OtherFocusReason);
    }
    m_busy.emplace(Qt::BusyCursor);
    m_running = true;
    m_bar.repaint();
}

void ConversionProgress::end() {
    if (!m_running)
        return;
    m_running = false;
    m_busy.reset();
    if (m_cancellable) {
        const bool hadFocus = m_viewer.focusWidget() == m_cancel;
        m_cancel->hide();
        if (hadFocus && m_focusBefore)
            m_focusBefore->setFocus(Qt::OtherFocusReason);
    }
    m_cancellable = false;
}

void ConversionProgress::requestCancel() {
    if (!m_running || !m_cancellable || m_cancelRequested)
        return;
    m_cancelRequested = true;
    m_cancel->setEnabled(false);
    if (m_onCancel)
        m_onCancel();
}

bool ConversionProgress::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_viewer && event->type() == QEvent::KeyPress && m_running && m_cancellable &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        requestCancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ktdv
