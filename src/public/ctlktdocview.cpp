#include "ktdocview/ctlktdocview.h"

#include <QCoreApplication>
#include <QVBoxLayout>

#include "platform/promptservice.h"
#include "viewer/core/defaultfactory.h"
#include "viewer/core/errors.h"
#include "viewer/core/translations.h"
#include "viewer/core/viewercontrol.h"
#include "viewer/undo/undoredo.h"

namespace {

// Runs one public member so that nothing it throws reaches the host: a failure is shown to
// the user as "<prefix><number>) - <description>", or, with no prefix, ends the call quietly.
template <class F>
void guarded(ktdv::ViewerControl* control, const char* prefix, F&& f) noexcept {
    try {
        f();
    } catch (...) {
        if (!prefix)
            return;
        try {
            const ktdv::ViewerError e = ktdv::currentError();
            control->prompts().message(
                control, ktdv::errorReport(QCoreApplication::translate("ctlKTDocView", prefix), e));
        } catch (...) {
        }
    }
}

}  // namespace

ctlKTDocView::ctlKTDocView(QWidget* parent)
    : QWidget(parent), m_control(new ktdv::ViewerControl(ktdv::createDefaultFactory(), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_control);
}

ctlKTDocView::~ctlKTDocView() = default;

void ctlKTDocView::Refresh() {
    guarded(m_control, nullptr, [this] { m_control->Refresh(); });
}

void ctlKTDocView::OpenImage(const QString& strImagePath) {
    // The viewer reports its own failures while opening; this catches what is left.
    guarded(m_control, QT_TRANSLATE_NOOP("ctlKTDocView", "OpenImage: Error ("),
            [&] { m_control->OpenImage(strImagePath); });
}

void ctlKTDocView::CloseImage() {
    guarded(m_control, QT_TRANSLATE_NOOP("ctlKTDocView", "CloseImage: Error ("),
            [this] { m_control->CloseImage(); });
}

void ctlKTDocView::setUserPermission(qint32 lngUserPermission) {
    m_userPermission = lngUserPermission;
    guarded(m_control, nullptr, [&] { m_control->setUserPermission(lngUserPermission); });
}

QAction* ctlKTDocView::undoAction() const {
    return m_control->undoRedo().undoAction();
}

QAction* ctlKTDocView::redoAction() const {
    return m_control->undoRedo().redoAction();
}

bool ctlKTDocView::setLanguage(const QString& code) {
    try {
        return ktdv::translations::setLanguage(code);
    } catch (...) {
        return false;
    }
}

void ctlKTDocView::setAutomaticTranslation(bool on) {
    try {
        ktdv::translations::setAutomatic(on);
    } catch (...) {
    }
}
