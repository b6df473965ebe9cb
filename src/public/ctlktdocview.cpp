#include "ktdocview/ctlktdocview.h"

#include <QVBoxLayout>

#include "viewer/core/defaultfactory.h"
#include "viewer/core/viewercontrol.h"

ctlKTDocView::ctlKTDocView(QWidget* parent)
    : QWidget(parent), m_control(new ktdv::ViewerControl(ktdv::createDefaultFactory(), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_control);
}

ctlKTDocView::~ctlKTDocView() = default;

void ctlKTDocView::Refresh() {
    m_control->Refresh();
}

void ctlKTDocView::OpenImage(const QString& strImagePath) {
    m_control->OpenImage(strImagePath);
}

void ctlKTDocView::CloseImage() {
    m_control->CloseImage();
}

void ctlKTDocView::setUserPermission(qint32 lngUserPermission) {
    m_userPermission = lngUserPermission;
    m_control->setUserPermission(lngUserPermission);
}
