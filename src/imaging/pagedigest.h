#pragma once
// A digest of what decides how a page looks: for a TIFF page its image data as stored
// (strips or tiles, undecoded) and the tags that steer their decoding; for any other
// document the file's bytes. Tags that do not change the pixels (annotations, names,
// dates) are left out, so annotating a page keeps its digest. Any thread.

#include <QByteArray>

namespace ktdv::imaging {

class Document;

// 32 bytes; "" when the page cannot be read or the file's size changed since it was opened.
QByteArray pageDigest(const Document& document, int index);

}  // namespace ktdv::imaging
