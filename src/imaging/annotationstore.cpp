#include "imaging/annotationstore.h"

#include "imaging/limits.h"
#include "imaging/tiffpageedit.h"

#include <QCoreApplication>

namespace ktdv::imaging {

namespace {

// The page's stored payload and what it holds. A tag that is there but could not be read
// counts as unreadable, never as no annotations, so a save leaves it alone.
AnnotationPayload readStored(const QString& path, int page, QByteArray* stored) {
    TagRead how = TagRead::Absent;
    *stored = readPageTag(path, page, kAnnotationTag, &how);
    if (how == TagRead::TooLarge)
        return AnnotationPayload::failed(
            AnnotationStatus::TooLarge,
            QCoreApplication::translate(
                "ktdv::imaging", "the stored annotations are larger than the %1 bytes allowed")
                .arg(limits::kMaxTagBytes));
    if (how == TagRead::Unreadable)
        return AnnotationPayload::failed(
            AnnotationStatus::Damaged,
            QCoreApplication::translate("ktdv::imaging",
                                        "the stored annotations cannot be read from the file"));
    return decodePayload(*stored);
}

}  // namespace

AnnotationLoadResult AnnotationStore::load(const QString& path, int page) {
    QByteArray stored;
    return readStored(path, page, &stored).result;
}

WriteResult AnnotationStore::save(const QString& path, int page,
                                  const QList<Annotation>& annotations,
                                  const AnnotationSaveOptions& options) {
    auto refuse = [](const QString& why) { return WriteResult{false, why}; };
    for (const Annotation& a : annotations) {
        if (!isStorableRect(a.rect.normalized()))
            return refuse(QCoreApplication::translate("ktdv::imaging",
                                                      "an annotation lies outside any page"));
    }

    QByteArray stored;
    AnnotationPayload current = readStored(path, page, &stored);
    if (current.result.status == AnnotationStatus::Damaged && options.replaceDamaged)
        current = AnnotationPayload{};
    else if (!current.result.writable())
        return refuse(
            QCoreApplication::translate("ktdv::imaging",
                                        "the stored annotations of page %1 cannot be read (%2); "
                                        "they are left as they are")
                .arg(page + 1)
                .arg(current.result.error));

    const qsizetype count = annotations.size() + current.keptEntries.size();
    if (count > limits::kMaxAnnotationsPerPage)
        return refuse(QCoreApplication::translate(
                          "ktdv::imaging", "%1 annotations on one page, more than the %2 allowed")
                          .arg(count)
                          .arg(limits::kMaxAnnotationsPerPage));
    if (count == 0 && current.keptTop.isEmpty()) {
        // Nothing left to keep: the page goes back to having no tag at all.
        if (stored.isEmpty())
            return {true, {}};
        return writePageTag(path, page, kAnnotationTag, QByteArray());
    }
    const QByteArray payload = encodePayload(annotations, current);
    if (payload.size() > limits::kMaxAnnotationBytes)
        return refuse(
            QCoreApplication::translate("ktdv::imaging",
                                        "annotations would take %1 bytes, more than the %2 allowed")
                .arg(payload.size())
                .arg(limits::kMaxAnnotationBytes));
    if (payload == stored)
        return {true, {}};
    return writePageTag(path, page, kAnnotationTag, payload);
}

}  // namespace ktdv::imaging
