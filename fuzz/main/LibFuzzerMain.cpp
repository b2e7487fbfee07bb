#include <cstddef>
#include <cstdint>

int KB_FUZZ_ENTRY(const uint8_t* data, size_t size);

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return KB_FUZZ_ENTRY(data, size);
}
