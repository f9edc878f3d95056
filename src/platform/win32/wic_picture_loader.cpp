#include "platform/win32/wic_picture_loader.h"

#include "platform/win32/file_byte_source.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/wic_jpeg_probe.h"
#include "platform/win32/wic_source_transform.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <optional>
#include <vector>
#include <cstdio>
#include <cwchar>
#include <new>
#include <string>

namespace vistrel::platform::win32 {
namespace {

picture::PictureFailure failure(picture::PictureError error, const char* what, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    return picture::PictureFailure{error, std::string(what) + " (" + code + ")"};
}

bool isMissingFileError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
           error == ERROR_INVALID_DRIVE || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME;
}

bool isLockedFileError(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// In bands from the top: a decoder that works row by row (JPEG) then needs
// no whole-frame buffer of its own, and neither does this one.
constexpr UINT kBandRows = 64;

// Hands WIC's first frame to the shared fitting, in bands of rows; reduced
// by the frame itself where it can (`transform`, or null).
class WicFrameDecoder final : public picture::PictureDecoder {
public:
    WicFrameDecoder(IWICBitmapFrameDecode& frame, IWICBitmapSourceTransform* transform,
                    const std::function<bool()>& keepGoing)
        : frame_(frame), transform_(transform), keepGoing_(keepGoing) {}

    std::optional<picture::PictureFailure> decode(int denominator, picture::PictureRowSink& sink) override {
        UINT width = 0;
        UINT height = 0;
        HRESULT result = frame_.GetSize(&width, &height);
        if (FAILED(result)) return failure(picture::PictureError::Undecodable, "no picture size", result);
        if (width > INT_MAX || height > INT_MAX) {
            return picture::PictureFailure{picture::PictureError::TooLarge, "an impossible picture size"};
        }
        if (denominator > 1 && transform_) {
            if (auto reduced = decodeReduced(width, height, denominator, sink)) return *reduced;
        }
        if (!sink.begin({static_cast<int>(width), static_cast<int>(height)})) return std::nullopt;

        ComRef<IWICBitmapSource> converted;
        result = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, &frame_, converted.put());
        if (FAILED(result)) return failure(picture::PictureError::Undecodable, "cannot convert the pixels", result);
        const UINT stride = width * 4;
        std::vector<std::uint32_t> band;
        try {
            band.resize(static_cast<std::size_t>(width) * std::min(kBandRows, height));
        } catch (const std::bad_alloc&) {
            return picture::PictureFailure{picture::PictureError::TooLarge, "no memory for the pixels"};
        }
        for (UINT top = 0; top < height; top += kBandRows) {
            if (abandoned()) return kAbandoned;
            const UINT rows = std::min(kBandRows, height - top);
            const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
            result = converted->CopyPixels(&rect, stride, stride * rows, reinterpret_cast<BYTE*>(band.data()));
            if (FAILED(result)) return failure(picture::PictureError::Undecodable, "damaged picture data", result);
            for (UINT row = 0; row < rows; ++row) sink.row(&band[static_cast<std::size_t>(row) * width]);
        }
        return std::nullopt;
    }

    // Asked only for formats the header reader does not know (WebP, HEIC
    // through the system's decoders); a JPEG's or TIFF's comes from the header.
    int orientation() override {
        ComRef<IWICMetadataQueryReader> reader;
        if (FAILED(frame_.GetMetadataQueryReader(reader.put()))) return 1;
        // The EXIF orientation tag, where the system's decoders put it.
        for (const wchar_t* query : {L"/app1/ifd/{ushort=274}", L"/ifd/{ushort=274}"}) {
            PROPVARIANT value;
            PropVariantInit(&value);
            const HRESULT found = reader->GetMetadataByName(query, &value);
            const int tag = SUCCEEDED(found) && value.vt == VT_UI2 ? value.uiVal : 0;
            PropVariantClear(&value);
            if (tag) return picture::validOrientation(tag);
        }
        return 1;
    }

private:
    // Decoded by the frame at 1/denominator of its size, in the layout it
    // gives most readily. Empty when the frame offers no such reduction;
    // the whole frame is then decoded as usual.
    std::optional<std::optional<picture::PictureFailure>> decodeReduced(UINT fullWidth, UINT fullHeight, int denominator,
                                                               picture::PictureRowSink& sink) {
        UINT width = (fullWidth + denominator - 1) / denominator;
        UINT height = (fullHeight + denominator - 1) / denominator;
        WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
        if (FAILED(transform_->GetClosestSize(&width, &height)) || width == 0 || height == 0 ||
            width >= fullWidth || height >= fullHeight || FAILED(transform_->GetClosestPixelFormat(&format))) {
            return std::nullopt;
        }
        const std::optional<picture::RowLayout> layout = rowLayoutOf(format);
        if (!layout) return std::nullopt;
        if (!sink.begin({static_cast<int>(width), static_cast<int>(height)})) return std::optional<picture::PictureFailure>{};
        const UINT stride = width * static_cast<UINT>(picture::bytesPerPixel(*layout));
        std::vector<BYTE> band;
        std::vector<std::uint32_t> row;
        try {
            band.resize(static_cast<std::size_t>(stride) * std::min(kBandRows, height));
            row.resize(width);
        } catch (const std::bad_alloc&) {
            return picture::PictureFailure{picture::PictureError::TooLarge, "no memory for the pixels"};
        }
        for (UINT top = 0; top < height; top += kBandRows) {
            if (abandoned()) return kAbandoned;
            const UINT rows = std::min(kBandRows, height - top);
            // The rectangle is one of the reduced picture.
            const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
            const HRESULT result = transform_->CopyPixels(&rect, width, height, &format, WICBitmapTransformRotate0,
                                                          stride, stride * rows, band.data());
            if (FAILED(result)) return failure(picture::PictureError::Undecodable, "damaged picture data", result);
            for (UINT y = 0; y < rows; ++y) {
                picture::widenRow(*layout, &band[static_cast<std::size_t>(y) * stride], static_cast<int>(width), row.data());
                sink.row(row.data());
            }
        }
        return std::optional<picture::PictureFailure>{};
    }

    bool abandoned() const { return keepGoing_ && !keepGoing_(); }
    inline static const picture::PictureFailure kAbandoned{picture::PictureError::Unreadable, "no longer wanted"};

    IWICBitmapFrameDecode& frame_;
    IWICBitmapSourceTransform* transform_;
    const std::function<bool()>& keepGoing_;
};

// What may be opened before the decoder's own abilities are known.
constexpr picture::DecodeCapabilities kPlainLimits{};

}  // namespace

IWICImagingFactory* WicPictureLoader::factory() {
    if (!factory_) {
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         factory_.putVoid());
    }
    return factory_.get();
}

picture::PictureResult WicPictureLoader::load(const std::wstring& path, const picture::PictureRequest& request,
                                              const std::function<bool()>& keepGoing) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return failure(isMissingFileError(error) ? picture::PictureError::NotFound : picture::PictureError::Unreadable,
                       "cannot reach the file", HRESULT_FROM_WIN32(error));
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return failure(picture::PictureError::Unreadable, "a folder, not a file", E_INVALIDARG);
    }
    picture::PictureHeader header;
    {
        const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            return failure(isMissingFileError(error) ? picture::PictureError::NotFound : picture::PictureError::Unreadable,
                           "cannot open the file", HRESULT_FROM_WIN32(error));
        }
        header = picture::readPictureHeader(FileByteSource(file));
        CloseHandle(file);
    }
    // Before any decoder sees the file. A sequential JPEG beyond the plain
    // limits may still be opened where the decoder shows it reduced
    // without decoding it whole on opening.
    if (auto refused = picture::refuseByHeader(header, request, kPlainLimits)) {
        const bool mayReduce = header.format == picture::PictureFormat::Jpeg && header.jpegSinglePass && request.fits() &&
                               jpegReducesWithoutWholeFrame();
        if (!mayReduce) return *refused;
        if (auto still = picture::refuseByHeader(header, request, {.reducedJpegDecode = true})) return *still;
    }

    IWICImagingFactory* wic = factory();
    if (!wic) return failure(picture::PictureError::Undecodable, "no imaging component", REGDB_E_CLASSNOTREG);

    ComRef<IWICBitmapDecoder> decoder;
    const HRESULT opened = wic->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                          WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(opened)) {
        if (HRESULT_FACILITY(opened) == FACILITY_WIN32) {
            const DWORD error = HRESULT_CODE(opened);
            if (isMissingFileError(error)) return failure(picture::PictureError::NotFound, "file vanished", opened);
            if (isLockedFileError(error)) return failure(picture::PictureError::Unreadable, "cannot read the file", opened);
        }
        // Anything else means the content: short, damaged or unknown.
        return failure(picture::PictureError::Undecodable, "not a picture format the system knows", opened);
    }
    return firstFrame(*decoder.get(), header, request, keepGoing);
}

picture::PictureResult WicPictureLoader::decode(std::span<const std::uint8_t> bytes) {
    if (bytes.empty() || bytes.size() > MAXDWORD) {
        return failure(picture::PictureError::Undecodable, "no picture data", E_INVALIDARG);
    }
    const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytes));
    const picture::PictureRequest request;
    if (auto refused = picture::refuseByHeader(header, request, kPlainLimits)) return *refused;
    IWICImagingFactory* wic = factory();
    if (!wic) return failure(picture::PictureError::Undecodable, "no imaging component", REGDB_E_CLASSNOTREG);

    ComRef<IWICStream> stream;
    HRESULT result = wic->CreateStream(stream.put());
    // The stream only reads from the memory it is given.
    if (SUCCEEDED(result)) {
        result = stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
    }
    if (FAILED(result)) return failure(picture::PictureError::Unreadable, "cannot open the data", result);

    ComRef<IWICBitmapDecoder> decoder;
    result = wic->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put());
    if (FAILED(result)) return failure(picture::PictureError::Undecodable, "not a picture format the system knows", result);
    return firstFrame(*decoder.get(), header, request, {});
}

picture::PictureResult WicPictureLoader::firstFrame(IWICBitmapDecoder& decoder, const picture::PictureHeader& header,
                                                    const picture::PictureRequest& request,
                                                    const std::function<bool()>& keepGoing) {
    ComRef<IWICBitmapFrameDecode> frame;
    const HRESULT result = decoder.GetFrame(0, frame.put());
    if (FAILED(result)) return failure(picture::PictureError::Undecodable, "no picture in the file", result);
    ComRef<IWICBitmapSourceTransform> transform;
    if (header.format == picture::PictureFormat::Jpeg && request.fits()) {
        frame->QueryInterface(kIidSourceTransform, transform.putVoid());
    }
    WicFrameDecoder frameDecoder(*frame.get(), transform.get(), keepGoing);
    return picture::loadFittedPicture(header, frameDecoder, request, {.reducedJpegDecode = static_cast<bool>(transform)});
}

std::vector<std::string> WicPictureLoader::decoderExtensions() {
    std::vector<std::string> extensions;
    IWICImagingFactory* wic = factory();
    ComRef<IEnumUnknown> decoders;
    if (!wic || FAILED(wic->CreateComponentEnumerator(WICDecoder, WICComponentEnumerateDefault, decoders.put()))) {
        return extensions;
    }
    for (;;) {
        ComRef<IUnknown> component;
        ULONG fetched = 0;
        if (decoders->Next(1, component.put(), &fetched) != S_OK || fetched == 0) break;
        ComRef<IWICBitmapCodecInfo> codec;
        if (FAILED(component->QueryInterface(IID_IWICBitmapCodecInfo, codec.putVoid()))) continue;
        UINT length = 0;
        if (FAILED(codec->GetFileExtensions(0, nullptr, &length)) || length == 0) continue;
        std::wstring text(length, L'\0');
        if (FAILED(codec->GetFileExtensions(length, text.data(), &length))) continue;
        text.resize(std::wcslen(text.c_str()));
        // ".jpeg,.jpe,.jpg,.jfif,.exif" as documented; Wine's decoders
        // separate some with ";".
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = std::min(text.find_first_of(L",; ", start), text.size());
            std::wstring extension = text.substr(start, end - start);
            CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
            if (extension.size() >= 2 && extension.front() == L'.') extensions.push_back(fromWide(extension));
            start = end + 1;
        }
    }
    return extensions;
}

bool WicPictureLoader::jpegReducesWithoutWholeFrame() {
    // The system's decoder does not change while the program runs: the
    // first loader that needs the answer asks, every other takes it.
    static std::mutex asking;
    static std::optional<bool> answer;
    const std::lock_guard<std::mutex> guard(asking);
    if (!answer) {
        IWICImagingFactory* wic = factory();
        if (!wic) return false;
        answer = jpegReducedDecodeAvoidsWholeFrame(*wic);
    }
    return *answer;
}

}  // namespace vistrel::platform::win32
