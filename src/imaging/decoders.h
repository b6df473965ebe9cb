#pragma once
// The decoders behind Document, one per family of formats. Internal to the imaging layer.

#include <QByteArray>
#include <QString>
#include <QVector>

#include "imaging/document.h"

class QFile;

namespace ktdv::imaging::detail {

// Walks the TIFF directory chain straight from the file's bytes: one PageInfo and one
// directory offset per page; sub-directories are not pages. Stops at loops, at a
// broken link and at limits::kMaxPages. False (with *error) when no page was found; true
// with *error saying why the walk stopped early, "" when the chain ended as it should.
bool scanTiffPages(const uchar* data, quint64 size, QVector<quint64>* offsets,
                   QVector<PageInfo>* pages, QString* error);
// The same read from an open file a directory at a time, without mapping it.
bool scanTiffPages(QFile& file, QVector<quint64>* offsets, QVector<PageInfo>* pages,
                   QString* error);

// The bytes of one tag of the directory at ifdOffset ("" unless *how is Read), read
// without walking the directory chain.
QByteArray readTiffTag(QFile& file, quint64 ifdOffset, quint16 tag, TagRead* how = nullptr);

// Decodes the page whose directory starts at ifdOffset.
DecodedPage decodeTiffPage(const QString& path, quint64 ifdOffset);

// A fax stream without a TIFF wrapper: its page size (width found from the data).
bool probeRawFax(const QByteArray& bytes, PageInfo* info, QString* error);
DecodedPage decodeRawFax(const QByteArray& bytes, const PageInfo& info);

// BMP, GIF, JPEG and PNG through Qt's readers.
bool probeQtImage(const QString& path, FileFormat format, PageInfo* info, QString* error);
DecodedPage decodeQtImage(const QString& path, const PageInfo& info);

// Checks a page size against the limits before anything is allocated.
bool pageFitsLimits(qint64 width, qint64 height, int bitsPerPixelInMemory, QString* error);

// Resolution from dots per inch to QImage's dots per metre.
inline int dotsPerMeter(double dpi) {
    return qRound(dpi / 0.0254);
}

}  // namespace ktdv::imaging::detail
