// Stamp and rectangle kinds chosen from their pop-up menus, and placing a stamp where the
// page was clicked.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDate>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QWindow>

#include <memory>

#include "viewer/annotations/annotationinteraction.h"

#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"
#include "viewer/annotations/annotationunits.h"
#include "viewer/core/errors.h"
#include "viewer/core/translations.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/core/viewerwidgets.h"

namespace ktdv {

namespace {

constexpr qint16 kDraftStamp = 2;

// A style pop-up is closed by the press that starts drawing on the page. Some window
// systems hand that press on to the widget under the pointer, others swallow it; this
// keeps it from the window system and hands it on itself, so the first press always draws.
class OutsidePress final : public QObject {
public:
    explicit OutsidePress(QMenu* menu) : m_menu(menu) { menu->installEventFilter(this); }
    ~OutsidePress() override { m_menu->removeEventFilter(this); }
    OutsidePress(const OutsidePress&) = delete;
    OutsidePress& operator=(const OutsidePress&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_menu && event->type() == QEvent::MouseButtonPress) {
            auto* press = static_cast<QMouseEvent*>(event);
            if (!m_menu->rect().contains(press->position().toPoint())) {
                m_menu->setAttribute(Qt::WA_NoMouseReplay);
                m_press.reset(press->clone());
            }
        }
        return false;
    }

    // After the menu has gone: the press to the window under it, where it was made.
    void replay() const {
        if (!m_press)
            return;
        const QPointF global = m_press->globalPosition();
        QWidget* target = QApplication::widgetAt(global.toPoint());
        QWindow* window = target ? target->window()->windowHandle() : nullptr;
        if (!window)
            return;
        const QPointF local = window->mapFromGlobal(global);
        QMouseEvent press(QEvent::MouseButtonPress, local, local, global, m_press->button(),
                          m_press->buttons(), m_press->modifiers());
        QCoreApplication::sendEvent(window, &press);
    }

private:
    QMenu* m_menu;
    std::unique_ptr<QMouseEvent> m_press;
};

// The locale's date separator: the first run of punctuation between the fields of its
// short date format, without surrounding blanks; "/" when the format has none.
QString dateSeparator(const QLocale& locale) {
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString run;
    bool inQuote = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) {
            inQuote = !inQuote;
            continue;
        }
        if (inQuote)
            continue;
        if (c.isLetter()) {
            if (!run.isEmpty())
                break;
            continue;
        }
        run += c;
    }
    const QString trimmed = run.trimmed();
    if (!trimmed.isEmpty())
        return trimmed;
    return run.isEmpty() ? QStringLiteral("/") : run;
}

// Checks item index of an item array (1-based) and unchecks the others.
template <std::size_t N>
void checkOnly(const std::array<QAction*, N>& items, qint16 index) {
    for (std::size_t i = 1; i < N; ++i) {
        if (!items[i])
            continue;
        if (static_cast<qint16>(i) == index) {
            if (!items[i]->isChecked())
                items[i]->setChecked(true);
        } else {
            items[i]->setChecked(false);
        }
    }
}

}  // namespace

QString AnnotationInteraction::StampText(qint16 stampType, const QDate& date,
                                         const QLocale& locale) {
    QString text;
    switch (stampType) {
        case 1:
            text = QCoreApplication::translate("ktdv::AnnotationInteraction", "Approved ");
            break;
        case kDraftStamp:
            return QCoreApplication::translate("ktdv::AnnotationInteraction", "Draft");
        case 3:
            text = QCoreApplication::translate("ktdv::AnnotationInteraction", "Received ");
            break;
        case 4:
            text = QCoreApplication::translate("ktdv::AnnotationInteraction", "Rejected ");
            break;
        default:
            break;
    }
    const QString sep = dateSeparator(locale);
    QString month = locale.monthName(date.month(), QLocale::ShortFormat);
    // Some locales end abbreviations with their date separator ("Dez."); one is enough.
    if (!sep.isEmpty() && month.endsWith(sep))
        month.chop(sep.size());
    return text + QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')) + sep + month +
           sep + QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

void AnnotationInteraction::offerStyles(const QString& key) {
    const bool stamp = key == QLatin1String("Stamp");
    qint16 kind =
        m_viewer.settings().readInt16(stamp ? settings::StampKind : settings::RectangleKind);
    if (stamp)
        mnuStamp_Click(kind);
    else
        mnuRect_Click(kind);
    QMenu* menu = stamp ? m_stampMenu : m_rectMenu;
    const OutsidePress outside(menu);
    m_viewer.prompts().popupMenu(menu, QCursor::pos());
    outside.replay();
}

void AnnotationInteraction::mnuStamp_Click(qint16& index) {
    checkOnly(m_stamps, index);
    m_viewer.settings().writeInt(settings::StampKind, index);
}

void AnnotationInteraction::mnuRect_Click(qint16& index) {
    checkOnly(m_rects, index);
    m_viewer.settings().writeInt(settings::RectangleKind, index);
}

void AnnotationInteraction::placeStamp(float& x, float& y) {
    EditorAnnotations& notes = m_viewer.widgets().editor->annotations();
    const qint16 stampType = m_viewer.settings().readInt16(settings::StampKind);
    AnnotationRecord record;
    record.type = AnnotationRecord::kStamp;
    record.text = StampText(stampType, QDate::currentDate(), translations::locale());
    record.top = record.bottom = annotations::wholeTwips(y);
    record.left = record.right = annotations::wholeTwips(x);
    const bool added =
        notes.annotationCommand(QStringLiteral("add"), record, 0, QString(), 0, 0, 0, false);
    saveAddedAnnotation(added, record);
}

}  // namespace ktdv
