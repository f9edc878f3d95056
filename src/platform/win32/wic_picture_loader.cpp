#include "platform/win32/wic_picture_loader.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

namespace vistrel::platform::win32 {
namespace {

PictureFailure failure(PictureError error, const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return PictureFailure{error, std::string(what) + " (" + code + ")"};
}

bool isMissingFileError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_INVALID_DRIVE || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME;
}

bool isLockedFileError(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Pixels that the picture leaves transparent (GIF) show black; every pixel
// of the result is opaque.
void makeOpaque(Picture& picture) {
    for (std::uint32_t& pixel : picture.pixels) pixel = (pixel >> 24) == 0 ? 0xFF000000u : (pixel | 0xFF000000u);
}

}  // namespace

IWICImagingFactory* WicPictureLoader::factory() {
    if (!factory_) {
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         factory_.putVoid());
    }
    return factory_.get();
}

PictureResult WicPictureLoader::load(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return failure(isMissingFileError(error) ? PictureError::NotFound : PictureError::Unreadable,
                       "cannot reach the file", HRESULT_FROM_WIN32(error));
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return failure(PictureError::Unreadable, "a folder, not a file", E_INVALIDARG);
    }
    IWICImagingFactory* wic = factory();
    if (!wic) return failure(PictureError::Undecodable, "no imaging component", REGDB_E_CLASSNOTREG);

    ComRef<IWICBitmapDecoder> decoder;
    const HRESULT opened = wic->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                          WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(opened)) {
        if (HRESULT_FACILITY(opened) == FACILITY_WIN32) {
            const DWORD error = HRESULT_CODE(opened);
            if (isMissingFileError(error)) return failure(PictureError::NotFound, "file vanished", opened);
            if (isLockedFileError(error)) return failure(PictureError::Unreadable, "cannot read the file", opened);
        }
        // Anything else means the content: short, damaged or unknown.
        return failure(PictureError::Undecodable, "not a picture format the system knows", opened);
    }
    return firstFrame(*decoder.get());
}

PictureResult WicPictureLoader::decode(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > MAXDWORD) {
        return failure(PictureError::Undecodable, "no picture data", E_INVALIDARG);
    }
    IWICImagingFactory* wic = factory();
    if (!wic) return failure(PictureError::Undecodable, "no imaging component", REGDB_E_CLASSNOTREG);

    ComRef<IWICStream> stream;
    HRESULT result = wic->CreateStream(stream.put());
    // The stream only reads from the memory it is given.
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    }
    if (FAILED(result)) return failure(PictureError::Unreadable, "cannot open the data", result);

    ComRef<IWICBitmapDecoder> decoder;
    result = wic->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(result)) return failure(PictureError::Undecodable, "not a picture format the system knows", result);
    return firstFrame(*decoder.get());
}

PictureResult WicPictureLoader::firstFrame(IWICBitmapDecoder& decoder) {
    ComRef<IWICBitmapFrameDecode> frame;
    HRESULT result = decoder.GetFrame(0, frame.put());
    if (FAILED(result)) return failure(PictureError::Undecodable, "no picture in the file", result);

    UINT width = 0;
    UINT height = 0;
    result = frame->GetSize(&width, &height);
    if (FAILED(result)) return failure(PictureError::Undecodable, "no picture size", result);
    if (!pictureSizeAllowed(width, height)) {
        return PictureFailure{PictureError::TooLarge,
                              "declares " + std::to_string(width) + " x " + std::to_string(height) + " pixels"};
    }

    ComRef<IWICBitmapSource> converted;
    result = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, frame.get(), converted.put());
    if (FAILED(result)) return failure(PictureError::Undecodable, "cannot convert the pixels", result);

    Picture picture;
    picture.width = static_cast<int>(width);
    picture.height = static_cast<int>(height);
    try {
        picture.pixels.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        return PictureFailure{PictureError::TooLarge, "no memory for the pixels"};
    }
    // 32-bit BGRA rows are the 0xAARRGGBB words of a picture.
    const UINT stride = width * 4;
    // In bands from the top: a decoder that works row by row (JPEG) then
    // needs no whole-frame buffer of its own beside the picture.
    constexpr UINT kBandRows = 256;
    for (UINT top = 0; top < height; top += kBandRows) {
        const UINT rows = std::min(kBandRows, height - top);
        const WICRect band{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
        BYTE* target = reinterpret_cast<BYTE*>(picture.pixels.data()) + static_cast<std::size_t>(top) * stride;
        result = converted->CopyPixels(&band, stride, stride * rows, target);
        if (FAILED(result)) return failure(PictureError::Undecodable, "damaged picture data", result);
    }
    makeOpaque(picture);
    return picture;
}

}  // namespace vistrel::platform::win32
