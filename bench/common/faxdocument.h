#pragma once
// A generated N-page A4 300 dpi G4 fax document for the benchmarks: one rendered page of
// text-like content, each page stamped with its own number so no two pages are equal.

#include <QString>

namespace ktdv::bench {

// Writes the document (if not already there with the right page count) and returns its path.
QString faxDocument(const QString& folder, int pages);

// Reference: libtiff decoding one page into memory, nothing else. Returns seconds.
double referenceDecodeSeconds(const QString& path, int page);

// Peak resident memory of this process (since its last exec) in KiB.
long peakRssKiB();

}  // namespace ktdv::bench
