#include "progressline.h"

#include <QFileInfo>

#include <algorithm>

namespace ktdv::convert {

namespace {
constexpr int kBarWidth = 30;
}

void ProgressLine::start(const QString& label, int total) {
    m_label = QFileInfo(label).fileName();
    m_total = std::max(0, total);
    update(0);
}

void ProgressLine::update(int done) {
    if (!m_on) {
        return;
    }
    const int shown = m_total > 0 ? std::clamp(done, 0, m_total) : 0;
    const int filled = m_total > 0 ? shown * kBarWidth / m_total : 0;
    const QByteArray bar = QByteArray(filled, '#') + QByteArray(kBarWidth - filled, '-');
    std::fprintf(m_stream, "\r[%s] %d/%d %s", bar.constData(), shown, m_total,
                 m_label.toLocal8Bit().constData());
    std::fflush(m_stream);
}

void ProgressLine::finish() {
    if (m_on) {
        std::fputs("\n", m_stream);
        std::fflush(m_stream);
    }
}

}  // namespace ktdv::convert
