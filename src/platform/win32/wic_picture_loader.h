// Decodes picture files (GIF, JPEG, BMP and DIB, and whatever else the
// system's Windows Imaging Component knows) into the program's pictures.
#pragma once

#include <wincodec.h>

#include <cstdint>
#include <span>
#include <string>

#include "platform/win32/portable_interface.h"
#include "platform/win32/com_ref.h"

namespace vistrel::platform::win32 {

class WicPictureLoader {
public:
    PictureResult load(const std::wstring& path);
    PictureResult decode(std::span<const std::uint8_t> bytes);

private:
    IWICImagingFactory* factory();
    // The first frame, checked against the size limits before any pixel
    // memory is taken.
    PictureResult firstFrame(IWICBitmapDecoder& decoder);

    ComRef<IWICImagingFactory> factory_;
};

}  // namespace vistrel::platform::win32
