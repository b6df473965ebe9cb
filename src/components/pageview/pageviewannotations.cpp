// Annotations of the shown page. The view reads the page's annotation tag so the viewer
// knows whether annotations can be kept for this document; drawing and editing them
// arrives with the annotation store.
#include "components/pageview/pageview.h"
#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "imaging/limits.h"
#include "imaging/tiffpageedit.h"

namespace ktdv {

bool PageView::annotationCommand(const QString& command, AnnotationRecord& record, int option,
                                 const QString& path, int page, int x, int y, bool filled,
                                 bool highlight) {
    Q_UNUSED(record);
    Q_UNUSED(option);
    Q_UNUSED(x);
    Q_UNUSED(y);
    Q_UNUSED(filled);
    Q_UNUSED(highlight);
    if (command.compare(QLatin1String("load"), Qt::CaseInsensitive) != 0)
        return false;
    if (!m_doc || m_path.isEmpty())
        return false;
    const QString file = path.isEmpty() ? m_path : path;
    if (file != m_path)
        return false;
    if (page < 0 || page >= m_doc->pageCount())
        return false;
    switch (m_doc->format()) {
        case imaging::FileFormat::RawFaxG3:
            return true;  // a raw fax has no tags, so no annotations
        case imaging::FileFormat::Tiff: {
            const QByteArray stored = imaging::readPageTag(file, page, imaging::kAnnotationTag);
            return stored.size() <= limits::kMaxAnnotationBytes;
        }
        default:
            return false;
    }
}

}  // namespace ktdv
