// Entry point for clang's libFuzzer: the input's bytes make the case's choices, so coverage
// guidance steers geometries, settings and call sequences. Built only with KW_LIBFUZZER.
#include <cstddef>
#include <cstdint>

#include "FuzzCase.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ByteChoices choices(data, size);
    RunFuzzCase(choices, false);
    return 0;
}
