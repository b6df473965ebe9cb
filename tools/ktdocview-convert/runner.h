#pragma once
// Runs the conversions: one input to one file, or a batch of work items into a folder,
// skipping outputs that are up to date and reporting each document.

#include "options.h"
#include "progressline.h"
#include "sharding.h"
#include "worklist.h"

namespace ktdv {
class TesseractEngine;
}

namespace ktdv::convert {

// Pages the engine will recognise in `input` with the page selection (0 when unreadable).
int countPages(const QString& input, const QVector<int>& pages);

// Prints one line per item to `out`: input, output and page count, tab-separated.
void printItems(const QVector<WorkItem>& items, std::FILE* out);

// Converts `items` (shard `shard` of the batch) into options.output. Returns the exit
// status: 0 when every document was converted or already up to date, 1 otherwise.
int runBatch(TesseractEngine& engine, const Options& options, const QVector<WorkItem>& items,
             const Shard& shard, ProgressLine& progress);

// Converts the one input of `options` to options.output; the exit status as above.
int runSingle(TesseractEngine& engine, const Options& options, ProgressLine& progress);

}  // namespace ktdv::convert
