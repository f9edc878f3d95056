// Decodes picture files (GIF, JPEG, BMP, DIB, PNG, TIFF, and whatever else
// the system's Windows Imaging Component knows) into the program's
// pictures, fitted and upright as the request asks.
#pragma once

#include <wincodec.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/portable_interface.h"
#include "platform/win32/com_ref.h"

namespace vistrel::platform::win32 {

class WicPictureLoader {
public:
    // `keepGoing`, when given, is asked between bands of rows: a decode
    // nobody wants any more stops there.
    picture::PictureResult load(const std::wstring& path, const picture::PictureRequest& request,
                                const std::function<bool()>& keepGoing = {});
    picture::PictureResult decode(std::span<const std::uint8_t> bytes);
    // The file extensions of every decoder installed, lower case with their
    // dot: the system's own, and those of extensions such as HEIF or WebP.
    std::vector<std::string> decoderExtensions();

private:
    IWICImagingFactory* factory();
    picture::PictureResult firstFrame(IWICBitmapDecoder& decoder, const picture::PictureHeader& header,
                                      const picture::PictureRequest& request, const std::function<bool()>& keepGoing);

    // Asked of the system once a process, and only when a file needs it.
    bool jpegReducesWithoutWholeFrame();

    ComRef<IWICImagingFactory> factory_;
};

}  // namespace vistrel::platform::win32
