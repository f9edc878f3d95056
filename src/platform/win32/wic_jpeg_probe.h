// Whether this system's JPEG decoder can decode a frame reduced without
// decoding the whole frame first. Windows' own decoder reads the compressed
// data only as rows are asked for, and decodes them at 1/2, 1/4 or 1/8 of
// the size (IWICBitmapSourceTransform). Wine's decodes the whole frame as
// soon as the file is opened, and has no reduced decode.
//
// The probe asks the decoder itself rather than the system's name: it
// encodes a picture of noise with WIC's own JPEG encoder and opens it
// through a stream that notes how far it has been read. A decoder that has
// read most of the data by the time the frame is opened, or that cannot
// decode the frame reduced, does not qualify. Only then may a JPEG larger
// than the plain limits be opened, to be shown reduced.
#pragma once

#include <wincodec.h>

namespace vistrel::platform::win32 {

bool jpegReducedDecodeAvoidsWholeFrame(IWICImagingFactory& wic);

}  // namespace vistrel::platform::win32
