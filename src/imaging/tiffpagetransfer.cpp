#include "imaging/tiffpagetransfer.h"

#include "imaging/limits.h"
#include "imaging/tiffedit.h"

namespace ktdv::imaging {

namespace {

WriteResult failure(const QString& message) {
    WriteResult r;
    r.error = message;
    return r;
}

// Copies the first page of pageFile after the end of the edited file.
bool copyFirstPage(detail::TiffEdit& edit, const QString& pageFile, tiff::Directory* page,
                   WriteResult* r) {
    detail::TiffEdit source;
    if (!source.open(pageFile, false, r))
        return false;
    tiff::CopyBudget budget = tiff::CopyBudget::forSource(source.source());
    QString error;
    if (!tiff::copyDirectory(source.source(), source.pages().front(), edit.sink(), page, budget,
                             &error)) {
        *r = failure(QStringLiteral("Cannot copy the page of %1: %2").arg(pageFile, error));
        return false;
    }
    return true;
}

}  // namespace

WriteResult extractPage(const QString& path, int index, const QString& pageFile) {
    detail::TiffEdit edit;
    WriteResult r;
    if (!edit.open(path, false, &r))
        return r;
    if (!edit.validIndex(index))
        return failure(QStringLiteral("There is no page %1").arg(index + 1));
    const tiff::Format& format = edit.format();
    return writeFileSafelyFd(pageFile, [&](int fd, QString* error) {
        tiff::Sink out(fd, 0, format);
        out.append(format.header());
        tiff::CopyBudget budget = tiff::CopyBudget::forSource(edit.source());
        tiff::Directory copied;
        if (!tiff::copyDirectory(edit.source(), edit.pages()[size_t(index)], out, &copied, budget,
                                 error))
            return false;
        quint64 link = 0;
        out.patchLink(format.firstLinkAt(), tiff::writeDirectory(out, copied, 0, &link));
        if (!format.bigTiff && out.pos() > 0xFFFFFFFFull) {
            *error = QStringLiteral("The page would exceed 4 GB");
            return false;
        }
        if (out.flush())
            return true;
        *error = out.error();
        return false;
    });
}

WriteResult insertPage(const QString& path, int index, const QString& pageFile) {
    return detail::editFile(path, [&](detail::TiffEdit& edit, WriteResult* r) {
        auto& pages = edit.pages();
        if (index < 0 || size_t(index) > pages.size()) {
            *r = failure(QStringLiteral("There is no page %1").arg(index + 1));
            return false;
        }
        if (pages.size() >= size_t(limits::kMaxPages)) {
            *r = failure(QStringLiteral("The document already has %1 pages").arg(pages.size()));
            return false;
        }
        tiff::Directory page;
        if (!copyFirstPage(edit, pageFile, &page, r))
            return false;
        pages.insert(pages.begin() + index, std::move(page));
        edit.renumber();
        return true;
    });
}

WriteResult replacePage(const QString& path, int index, const QString& pageFile) {
    return detail::editFile(path, [&](detail::TiffEdit& edit, WriteResult* r) {
        if (!edit.validIndex(index)) {
            *r = failure(QStringLiteral("There is no page %1").arg(index + 1));
            return false;
        }
        if (!copyFirstPage(edit, pageFile, &edit.pages()[size_t(index)], r))
            return false;
        edit.renumber();
        return true;
    });
}

}  // namespace ktdv::imaging
