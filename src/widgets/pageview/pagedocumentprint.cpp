// Printing the document: the print dialog, then every chosen page at its true size on
// the paper (turned to the paper's orientation, and scaled down to fit when it is still
// larger), with its stored annotations when asked. Bilevel pages go to the printer as
// 1-bit images, never as grey copies. When the pages cannot be printed (a printer that
// cannot be opened, a document changed since it was opened) the user is told why.
#include "widgets/pageview/pagedocument.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPageRanges>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>

#include "imaging/annotationpainter.h"
#include "imaging/annotationstore.h"
#include "imaging/document.h"
#include "platform/promptservice.h"

namespace ktdv {

namespace {

QString notPrinted() {
    return QCoreApplication::translate("PageView", "The document was not printed: ");
}
constexpr double kInchesPerMeter = 0.0254;
constexpr double kFallbackDpi = 96;
constexpr double kMaxPrintDpi = 300;

// The pages to print, 0-based, in the order they go to the printer.
QList<int> chosenPages(const QPrinter& printer, int pageCount, int currentPage) {
    QList<int> pages;
    if (printer.printRange() == QPrinter::CurrentPage) {
        pages.append(currentPage);
    } else {
        const QPageRanges ranges =
            printer.printRange() == QPrinter::PageRange ? printer.pageRanges() : QPageRanges();
        for (int i = 0; i < pageCount; ++i) {
            if (ranges.isEmpty() || ranges.contains(i + 1))
                pages.append(i);
        }
    }
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(pages.begin(), pages.end());
    return pages;
}

// Resolution of a decoded page: the one it carries, else the one its file states.
QSizeF pageDpi(const QImage& image, const imaging::PageInfo& info) {
    auto pick = [](int dotsPerMeter, double stated) {
        if (dotsPerMeter > 0)
            return dotsPerMeter * kInchesPerMeter;
        return stated > 0 ? stated : kFallbackDpi;
    };
    return {pick(image.dotsPerMeterX(), info.dpi.width()),
            pick(image.dotsPerMeterY(), info.dpi.height())};
}

// A page's true size on the paper, in device pixels.
QSizeF trueSize(const QSize& pixels, const QSizeF& dpi, const QSizeF& deviceDpi) {
    return {pixels.width() / dpi.width() * deviceDpi.width(),
            pixels.height() / dpi.height() * deviceDpi.height()};
}

// Where a page of this size lands on the paper: as it is, scaled down with its shape kept
// when that does not fit, centred.
QRectF placeOnPaper(QSizeF size, const QRectF& paper) {
    if (size.width() > paper.width() || size.height() > paper.height())
        size.scale(paper.size(), Qt::KeepAspectRatio);
    const QPointF topLeft(paper.x() + (paper.width() - size.width()) / 2,
                          paper.y() + (paper.height() - size.height()) / 2);
    return {topLeft, size};
}

// Page pixels to device pixels. A landscape page on portrait paper (or the other way round)
// is turned a quarter clockwise, so it prints at its true size instead of shrunk.
QTransform pageToDevice(const QSize& pixels, const QSizeF& dpi, const QRectF& paper,
                        const QSizeF& deviceDpi) {
    const QSizeF size = trueSize(pixels, dpi, deviceDpi);
    const bool turn = size.width() != size.height() &&
                      (size.width() > size.height()) != (paper.width() > paper.height());
    const QRectF target = placeOnPaper(turn ? size.transposed() : size, paper);
    if (!turn)
        return QTransform(target.width() / pixels.width(), 0, 0, target.height() / pixels.height(),
                          target.x(), target.y());
    // Page x runs down the paper, page y from right to left.
    return QTransform(0, target.height() / pixels.width(), -target.width() / pixels.height(), 0,
                      target.x() + target.width(), target.y());
}

// Sends the pages to the printer; "" when done, else why they were not printed.
QString printPages(QPrinter& printer, const imaging::Document& doc, const QList<int>& pages,
                   bool withAnnotations) {
    // The pages come from the file: it must still be the one that was opened.
    const QFileInfo file(doc.path());
    if (!file.exists() || file.size() != doc.fileSize() || file.lastModified() != doc.modified())
        return QCoreApplication::translate("PageView", "the document changed since it was opened");

    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return QCoreApplication::translate("PageView", "the printer \"%1\" cannot be opened")
            .arg(printer.printerName().isEmpty() ? printer.outputFileName()
                                                 : printer.printerName());
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QSizeF deviceDpi(printer.logicalDpiX(), printer.logicalDpiY());

    bool first = true;
    for (const int index : pages) {
        // PDF pages are drawn at the printer's resolution, at most kMaxPrintDpi.
        const imaging::DecodedPage decoded =
            doc.format() == imaging::FileFormat::Pdf
                ? doc.renderPage(index,
                                 qMin(kMaxPrintDpi, qMax(deviceDpi.width(), deviceDpi.height())))
                : doc.decodePage(index);
        if (!decoded.ok()) {
            painter.end();
            return QCoreApplication::translate("PageView", "page %1 cannot be read").arg(index + 1);
        }
        if (!first)
            printer.newPage();
        first = false;

        const QImage& image = decoded.image;
        const QSizeF dpi = pageDpi(image, doc.page(index));
        const QTransform toDevice = pageToDevice(image.size(), dpi, paper, deviceDpi);
        // A bilevel page is drawn as it is: the printer receives its 1-bit pixels.
        painter.setTransform(toDevice);
        painter.drawImage(QPointF(0, 0), image);
        painter.resetTransform();

        if (withAnnotations) {
            const imaging::AnnotationLoadResult stored =
                imaging::AnnotationStore::load(doc.path(), index);
            if (stored.ok() && !stored.annotations.isEmpty())
                imaging::AnnotationPainter::paint(painter, stored.annotations, toDevice, dpi);
        }
    }
    return painter.end()
               ? QString()
               : QCoreApplication::translate("PageView", "the job could not be completed");
}

}  // namespace

void PageDocument::printDocument(bool& printAnnotations) {
    if (!m_doc || m_path.isEmpty())
        return;
    const std::shared_ptr<const imaging::Document> doc = m_doc;
    const int count = doc->pageCount();

    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QFileInfo(m_path).fileName());
    QPrintDialog dialog(&printer, &m_dialogParent);
    dialog.setMinMax(1, count);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage);
    if (!m_prompts || !m_prompts->printDialog(&dialog, printer))
        return;

    const QList<int> pages = chosenPages(printer, count, qBound(0, m_pageIndex, count - 1));
    if (pages.isEmpty())
        return;
    const bool withAnnotations = printAnnotations && doc->format() == imaging::FileFormat::Tiff;
    const QString why = printPages(printer, *doc, pages, withAnnotations);
    if (!why.isEmpty())
        m_prompts->message(&m_dialogParent, notPrinted() + why + QLatin1Char('.'));
}

}  // namespace ktdv
