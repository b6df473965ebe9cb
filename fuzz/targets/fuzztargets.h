#pragma once
// Bodies of the fuzz targets. Each takes one input of any bytes and must return without
// crashing, hanging or running out of memory; a broken invariant aborts. The fuzzers
// (fuzz/fuzzmain.cpp) and the regression test (tests/fuzz_regression) call the same
// functions.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ktdv::fuzz {

// A Qt GUI application on the offscreen platform (fonts and image plug-ins need one) and
// a scratch folder for targets that work on files. Call once before any target; does
// nothing when an application already exists.
void initialize();

// A file name in the scratch folder, the same for every call with the same name.
QString scratchFile(const char* name);

// Document::open and decodePage of every page, for every format (chosen by content).
int fuzzDocument(const uint8_t* data, size_t size);
// The fax decoder directly: the first bytes pick coding, bit order and width.
int fuzzCcitt(const uint8_t* data, size_t size);
// The annotation payload parser, and a re-encode of what it read.
int fuzzAnnotations(const uint8_t* data, size_t size);
// deletePage(0) and movePage on the input written as a file; a result must reopen.
int fuzzPageEdit(const uint8_t* data, size_t size);
// A PDF document: the signature, then the input; the first pages drawn, whole and in part,
// and their text layers read.
int fuzzPdf(const uint8_t* data, size_t size);
// Every export writer on a recognition result built from the bytes.
int fuzzWriters(const uint8_t* data, size_t size);

struct Target {
    const char* name;  // fuzz_<name>, corpus folder <name>
    int (*run)(const uint8_t* data, size_t size);
};
const std::vector<Target>& targets();

// Aborts with a message when an invariant does not hold (libFuzzer reports it as a crash).
[[noreturn]] void fail(const char* what);

}  // namespace ktdv::fuzz
