// IWICBitmapSourceTransform, which MinGW's wincodec.h lacks: a frame that
// can decode itself reduced (WIC's JPEG decoder on Windows does it at 1/2,
// 1/4 and 1/8 of the size). The layout follows the Windows SDK.
#pragma once

#include <wincodec.h>

#include <optional>

#include "picture/pixel_rows.h"

namespace vistrel::platform::win32 {

MIDL_INTERFACE("3B16811B-6A43-4ec9-B713-3D5A0C13B940")
IWICBitmapSourceTransform : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                                 WICPixelFormatGUID* format, WICBitmapTransformOptions transform,
                                                 UINT stride, UINT bufferSize, BYTE* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
    virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform, BOOL* supported) = 0;
};

inline constexpr IID kIidSourceTransform = {0x3B16811B, 0x6A43, 0x4ec9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};

// The row layouts the reduced decode is taken in.
inline std::optional<picture::RowLayout> rowLayoutOf(const WICPixelFormatGUID& format) {
    if (format == GUID_WICPixelFormat8bppGray) return picture::RowLayout::Gray8;
    if (format == GUID_WICPixelFormat24bppBGR) return picture::RowLayout::Bgr24;
    if (format == GUID_WICPixelFormat32bppBGR) return picture::RowLayout::Bgrx32;
    if (format == GUID_WICPixelFormat32bppBGRA) return picture::RowLayout::Bgra32;
    return std::nullopt;
}

}  // namespace vistrel::platform::win32
