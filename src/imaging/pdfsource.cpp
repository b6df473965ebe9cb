#include "imaging/pdfsource.h"

#include <poppler-qt6.h>

#include <QCoreApplication>
#include <QFile>
#include <QtMath>

#include "imaging/decoders.h"
#include "imaging/limits.h"

namespace ktdv::imaging::detail {

namespace {

constexpr double kPointsPerInch = 72.0;
// Documents kept loaded for the threads that render: more threads load their own.
constexpr size_t kIdleDocuments = 4;
// The page as the view keeps it is a preview (the view renders what it shows afresh at
// its zoom): at most this many bytes, so a page of a poster stays small in the cache.
constexpr qint64 kShownPageBytes = 64LL * 1024 * 1024;

void quietPoppler() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Poppler reports every damaged object on stderr; damage shows in what we return.
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
    });
}

std::unique_ptr<Poppler::Document> load(const QString& path, const QByteArray& password) {
    quietPoppler();
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path, password, password);
    if (doc && !doc->isLocked()) {
        doc->setRenderHint(Poppler::Document::Antialiasing);
        doc->setRenderHint(Poppler::Document::TextAntialiasing);
        doc->setRenderHint(Poppler::Document::TextHinting);
        doc->setRenderHint(Poppler::Document::ThinLineSolid);
        doc->setRenderBackend(Poppler::Document::SplashBackend);
        doc->setPaperColor(Qt::white);
    }
    return doc;
}

// The highest resolution up to dpi at which a page of size points takes at most bytes.
double fittingDpi(QSizeF points, double dpi, qint64 bytes) {
    const double inchesW = qMax(points.width(), 1.0) / kPointsPerInch;
    const double inchesH = qMax(points.height(), 1.0) / kPointsPerInch;
    const double byArea = std::sqrt(double(bytes) / 4.0 / (inchesW * inchesH));
    const double byDimension = limits::kMaxPageDimension / qMax(inchesW, inchesH);
    return qMax(1.0, qMin(dpi, qMin(byArea, byDimension) * 0.999));
}

}  // namespace

PdfSource::~PdfSource() = default;

std::shared_ptr<PdfSource> PdfSource::open(const QString& path, const QByteArray& password,
                                           QVector<PageInfo>* pages, Opened* how, QString* error) {
    *how = Opened::NotPdf;
    std::unique_ptr<Poppler::Document> doc = load(path, password);
    if (!doc) {
        *error = QCoreApplication::translate("ktdv::imaging", "The PDF document cannot be read");
        return nullptr;
    }
    if (doc->isLocked()) {
        *how = Opened::Locked;
        *error =
            password.isEmpty()
                ? QCoreApplication::translate("ktdv::imaging", "The PDF document needs a password")
                : QCoreApplication::translate("ktdv::imaging", "The password is not right");
        return nullptr;
    }
    const int count = qMin(doc->numPages(), limits::kMaxPages);
    if (count <= 0) {
        *error = QCoreApplication::translate("ktdv::imaging", "The PDF document has no pages");
        return nullptr;
    }
    pages->reserve(count);
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<Poppler::Page> page = doc->page(i);
        if (!page) {
            if (i == 0) {
                *error =
                    QCoreApplication::translate("ktdv::imaging", "The PDF document has no pages");
                return nullptr;
            }
            break;  // a broken page tree: the pages before the break are the document
        }
        const QSizeF points = page->pageSizeF();
        const double dpi = fittingDpi(points, kPdfDpi, kShownPageBytes);
        PageInfo info;
        info.pixelSize = QSize(qMax(1, qRound(points.width() * dpi / kPointsPerInch)),
                               qMax(1, qRound(points.height() * dpi / kPointsPerInch)));
        info.dpi = QSizeF(dpi, dpi);
        info.bitsPerPixel = 32;
        pages->append(info);
    }
    std::shared_ptr<PdfSource> source(new PdfSource);
    source->m_path = path;
    source->m_password = password;
    source->m_idle.push_back(std::move(doc));
    *how = Opened::Ok;
    return source;
}

std::unique_ptr<Poppler::Document> PdfSource::borrow() const {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_idle.empty()) {
            std::unique_ptr<Poppler::Document> doc = std::move(m_idle.back());
            m_idle.pop_back();
            return doc;
        }
    }
    std::unique_ptr<Poppler::Document> doc = load(m_path, m_password);
    return doc && !doc->isLocked() ? std::move(doc) : nullptr;
}

void PdfSource::giveBack(std::unique_ptr<Poppler::Document> doc) const {
    if (!doc)
        return;
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_idle.size() < kIdleDocuments)
        m_idle.push_back(std::move(doc));
}

DecodedPage PdfSource::render(int index, double dpi, const QRect& region) const {
    DecodedPage result;
    result.complete = false;
    std::unique_ptr<Poppler::Document> doc = borrow();
    std::unique_ptr<Poppler::Page> page = doc ? doc->page(index) : nullptr;
    if (!page) {
        result.error = QCoreApplication::translate("ktdv::imaging", "The page cannot be read");
        giveBack(std::move(doc));
        return result;
    }
    const QSizeF points = page->pageSizeF();
    QRect part = region;
    if (part.isEmpty()) {
        // The whole page, at a resolution it fits the limits at.
        dpi = fittingDpi(points, dpi, limits::kMaxPageBytes);
        part = QRect(0, 0, qMax(1, qRound(points.width() * dpi / kPointsPerInch)),
                     qMax(1, qRound(points.height() * dpi / kPointsPerInch)));
    }
    if (dpi <= 0 || dpi > 1e5 || !pageFitsLimits(part.width(), part.height(), 32, &result.error)) {
        if (result.error.isEmpty())
            result.error = QCoreApplication::translate("ktdv::imaging", "Too large");
        giveBack(std::move(doc));
        return result;
    }
    QImage image = page->renderToImage(dpi, dpi, part.x(), part.y(), part.width(), part.height());
    page.reset();
    giveBack(std::move(doc));
    if (image.isNull()) {
        result.error = QCoreApplication::translate("ktdv::imaging", "The page cannot be drawn");
        return result;
    }
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    image.setDotsPerMeterX(dotsPerMeter(dpi));
    image.setDotsPerMeterY(dotsPerMeter(dpi));
    result.image = std::move(image);
    result.complete = true;
    return result;
}

QVector<TextLayerWord> PdfSource::words(int index, double dpi) const {
    QVector<TextLayerWord> out;
    std::unique_ptr<Poppler::Document> doc = borrow();
    std::unique_ptr<Poppler::Page> page = doc ? doc->page(index) : nullptr;
    if (page) {
        const double scale = dpi / kPointsPerInch;
        int line = 0;
        for (const std::unique_ptr<Poppler::TextBox>& box : page->textList()) {
            const QString text = box->text().trimmed();
            if (!text.isEmpty()) {
                const QRectF r = box->boundingBox();
                out.append(
                    {text,
                     QRectF(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale)
                         .toAlignedRect(),
                     line});
            }
            if (!box->nextWord())
                ++line;
        }
    }
    page.reset();
    giveBack(std::move(doc));
    return out;
}

}  // namespace ktdv::imaging::detail
