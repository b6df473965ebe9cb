#pragma once
// Annotations of a page in its file: one private tag in the page's own TIFF directory, so
// they travel with their page through deletes, moves and copies.
//
// Thread safety: the functions may run on any thread but two writers of the same file must
// not run at once.

#include <QList>
#include <QString>

#include "imaging/annotationcodec.h"
#include "imaging/safefilewriter.h"

namespace ktdv::imaging {

// Private TIFF tag holding a page's annotations ("KTDocView annotations", type UNDEFINED).
inline constexpr quint16 kAnnotationTag = 65101;

struct AnnotationSaveOptions {
    // Replace a damaged payload of ours (a future or foreign one is never replaced).
    bool replaceDamaged = false;
};

class AnnotationStore {
public:
    // Annotations of page `page` (0-based) of a TIFF or fax file.
    static AnnotationLoadResult load(const QString& path, int page);
    // Stores `annotations` as the page's annotations through the safe write path. Refused,
    // with the file untouched, when the stored payload could not be read (see writable()),
    // or when the list exceeds the limits. Entries and fields of a newer version found in
    // the stored payload are carried over.
    static WriteResult save(const QString& path, int page, const QList<Annotation>& annotations,
                            const AnnotationSaveOptions& options = {});
};

}  // namespace ktdv::imaging
