// Structural checks that catch truncated files which gdk-pixbuf would
// otherwise decode with the missing part filled in.
#pragma once

#include <cstdint>
#include <span>

namespace vistrel::platform::headless {

// Walks the marker segments and the entropy-coded scans up to the end of
// image marker; false when the file stops before it.
bool jpegReachesEnd(std::span<const std::uint8_t> bytes);

// For uncompressed bitmaps: the file holds every row that the header
// declares. Run-length coded bitmaps are left to the decoder.
bool bmpHoldsAllRows(std::span<const std::uint8_t> bytes);

}  // namespace vistrel::platform::headless
