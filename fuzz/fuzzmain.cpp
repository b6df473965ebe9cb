// The libFuzzer entry points of one fuzzer; KTDV_FUZZ_ENTRY names the target's body.
#include "targets/fuzztargets.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    ktdv::fuzz::initialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return KTDV_FUZZ_ENTRY(data, size);
}
