// Loading a document or page into the page view, and the status bar that describes it.
#include <QFileInfo>

#include "interfaces/annotationrecord.h"
#include "interfaces/imageeditor.h"
#include "interfaces/thumbnailpane.h"
#include "viewer/core/errors.h"
#include "viewer/core/statusbar.h"
#include "viewer/core/toolbar.h"
#include "viewer/core/viewercontrol.h"
#include "platform/promptservice.h"
#include "platform/settingsstore.h"

namespace ktdv {

namespace {
constexpr int kMayAnnotate = 16;
const QString kOpenFilter =
    QStringLiteral("Image Files |*.bmp;*.gif;*.jpg;*.jpeg;*.tif;*.tiff;*.fax|All files |*.*");
}  // namespace

QString ViewerControl::GetExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QStringLiteral("error");
    return path.mid(dot + 1, 3).toLower();
}

bool ViewerControl::IsTiffExtension(const QString& ext) {
    return ext == QLatin1String("fax") || ext == QLatin1String("tif");
}

bool ViewerControl::IsTiffPath(const QString& path) {
    const QString lower = path.toLower();
    return lower.right(4) == QLatin1String("tiff") || lower.right(3) == QLatin1String("tif") ||
           lower.right(3) == QLatin1String("fax");
}

bool ViewerControl::HasFileAttribute(const QString& letter) const {
    return StatusBar->text(QStringLiteral("FileAttributes"))
        .contains(letter.toUpper(), Qt::CaseSensitive);
}

void ViewerControl::LoadPage(QString& path, const QString& callerTag, qint16 pageIndex) {
    Q_UNUSED(callerTag)
    ViewerModuleState& g = module();
    ImageEditor& editor = *ctlKTImgEdit1;
    try {
        editor.setPageIndex(pageIndex);
        bPageModified = false;

        if (path != QLatin1String("nopath")) {
            g.gImagePath = path;
        } else {
            FileDialogRequest request;
            request.save = false;
            request.filter = kOpenFilter;
            request.fileName = QString();
            request.maxFileNameLength = 260;
            request.flags = 4096 | 4;
            g.gImagePath = m_prompts->fileDialog(this, request).fileName;
        }
        if (g.gImagePath.isEmpty())
            return;

        const bool isTiff = IsTiffExtension(GetExtension(g.gImagePath));

        editor.clearImage();
        editor.setImagePath(g.gImagePath);
        if (editor.imagePath().isEmpty()) {
            editor.clearImage();
            editor.syncView();
            SetToolbarState(false, false);
            ctlKTImgThumbs1->setCurrentPage(-1);
            return;
        }

        qint32 pageCount = 1;
        if (isTiff) {
            if (pageIndex != 0)
                editor.setPageIndex(pageIndex);
            pageCount = editor.pageCount();
        }

        const bool multiPage = pageCount >= 2;
        bOpResult = multiPage;
        OcrToolbar->setEnabled(QStringLiteral("GoToPage"), multiPage);

        bOpResult = false;
        if (isTiff) {
            AnnotationRecord record;
            bOpResult = editor.annotationCommand(QStringLiteral("load"), record, 0, g.gImagePath,
                                                 pageIndex);
        }
        OcrToolbar->setEnabled(2, bOpResult);

        ApplyDefaultZoom();

        StatusBar->setText(QStringLiteral("ImagePath"), g.gImagePath);
        StatusBar->setText(QStringLiteral("PageNumber"),
                           QString::number(pageIndex + 1) + QStringLiteral(" of ") +
                               QString::number(pageCount == 0 ? 1 : pageCount));

        if (!isTiff) {
            for (const char* key : {"Select", "Stamp", "Text"}) {
                const int pos = OcrToolbar->position(QString::fromLatin1(key));
                OcrToolbar->setValue(pos, 0);
                OcrToolbar->setEnabled(pos, false);
            }
        } else if (!m_settings->readBool(settings::ReadOnly) &&
                   (g.gUserPermission & kMayAnnotate)) {
            OcrToolbar->setValue(QStringLiteral("Select"), 0);
            OcrToolbar->setEnabled(QStringLiteral("Select"), true);
        }

        StatusBar->setText(QStringLiteral("FileAttributes"),
                           editor.getFileAttributes(g.gImagePath));

        const bool readOnly = HasFileAttribute(QStringLiteral("R"));
        m_settings->writeBool(settings::ReadOnly, readOnly);
        bool writable = !readOnly;

        if (!isTiff) {
            writable = false;
            SetToolbarState(true, true);
        } else {
            SetToolbarState(true, false);
        }

        // Page navigation, positions 20 to 23.
        const bool last = pageIndex == pageCount - 1;
        const bool first = pageIndex == 0;
        MainToolbar->setEnabled(QStringLiteral("FirstPage"), multiPage && !first);
        MainToolbar->setEnabled(QStringLiteral("PreviousPage"), multiPage && !first);
        MainToolbar->setEnabled(QStringLiteral("NextPage"), multiPage && !last);
        MainToolbar->setEnabled(QStringLiteral("LastPage"), multiPage && !last);

        if (!writable) {
            for (int pos = 6; pos <= 15; ++pos)
                OcrToolbar->setEnabled(pos, false);
        }
        ctlKTImgThumbs1->setCurrentPage(pageIndex);
    } catch (...) {
        const ViewerError e = currentError();
        if (e.number() != ViewerError::kSilent)
            m_prompts->message(this, errorReport(QStringLiteral("LoadImage: Error ("), e));
    }
}

}  // namespace ktdv
