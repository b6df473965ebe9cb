#pragma once
// PDF documents behind Document, read through Poppler. Internal to the imaging layer.
//
// Threads: Poppler's document object is not thread-safe. A PdfSource keeps a few of them
// and lends each to one thread at a time; a thread that finds none free loads its own, so
// rendering on several threads never shares one.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <QVector>

#include <memory>
#include <mutex>
#include <vector>

#include "imaging/document.h"

namespace Poppler {
class Document;
}

namespace ktdv::imaging::detail {

class PdfSource {
public:
    enum class Opened { Ok, NotPdf, Locked };
    // Loads the document and reads its pages' sizes: one PageInfo per page at the
    // resolution it is shown at (kPdfDpi, lower for pages too large for the limits).
    static std::shared_ptr<PdfSource> open(const QString& path, const QByteArray& password,
                                           QVector<PageInfo>* pages, Opened* how, QString* error);
    ~PdfSource();

    // The page (or the part region of it, in pixels at dpi) at dpi; the resolution is
    // lowered so the result stays within the limits. RGB32 on white.
    DecodedPage render(int index, double dpi, const QRect& region) const;
    // Words of the page's text layer with boxes in pixels at dpi; empty without one.
    QVector<TextLayerWord> words(int index, double dpi) const;

private:
    PdfSource() = default;
    struct Lent;
    std::unique_ptr<Poppler::Document> borrow() const;
    void giveBack(std::unique_ptr<Poppler::Document> doc) const;

    QString m_path;
    QByteArray m_password;
    mutable std::mutex m_mutex;
    mutable std::vector<std::unique_ptr<Poppler::Document>> m_idle;  // under m_mutex
};

}  // namespace ktdv::imaging::detail
