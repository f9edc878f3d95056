// The headless picture loader under libFuzzer: the header reader, the
// orientation tag, the reduced JPEG decode and the reduction filter, with
// whatever bytes come, fitted to a small screen and at their own size.
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/headless/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    vistrel::platform::headless::decodePictureBytes(bytes, {64, 48, 0x336699});
    vistrel::platform::headless::decodePictureBytes(bytes, {});
    return 0;
}
