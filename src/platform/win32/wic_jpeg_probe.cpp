#include "platform/win32/wic_jpeg_probe.h"

#include <objidl.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/com_ref.h"
#include "platform/win32/wic_source_transform.h"

namespace vistrel::platform::win32 {
namespace {

constexpr UINT kProbeSide = 512;

// A read-only stream over bytes in memory that remembers the furthest byte
// read.
class ReadTrackingStream final : public IStream {
public:
    explicit ReadTrackingStream(const std::vector<BYTE>& bytes) : bytes_(bytes) {}

    ULONGLONG furthestRead() const { return furthest_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == IID_IUnknown || id == IID_IStream || id == IID_ISequentialStream) {
            *object = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the probe's stack; the counts only keep COM's rules.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE Read(void* out, ULONG count, ULONG* done) override {
        const ULONGLONG available = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        const ULONG copied = static_cast<ULONG>(std::min<ULONGLONG>(count, available));
        if (copied) std::memcpy(out, bytes_.data() + position_, copied);
        position_ += copied;
        furthest_ = std::max(furthest_, position_);
        if (done) *done = copied;
        return copied == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* at) override {
        LONGLONG base = 0;
        if (origin == STREAM_SEEK_CUR) base = static_cast<LONGLONG>(position_);
        else if (origin == STREAM_SEEK_END) base = static_cast<LONGLONG>(bytes_.size());
        else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
        const LONGLONG target = base + move.QuadPart;
        if (target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<ULONGLONG>(target);
        if (at) at->QuadPart = position_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        *stat = STATSTG{};
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = bytes_.size();
        stat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    const std::vector<BYTE>& bytes_;
    ULONGLONG position_ = 0;
    ULONGLONG furthest_ = 0;
    ULONG references_ = 1;
};

// Noise compresses badly, so the file is large beside any read-ahead buffer.
std::vector<BYTE> noiseJpeg(IWICImagingFactory& wic) {
    ComRef<IStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> options;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(wic.CreateEncoder(GUID_ContainerFormatJpeg, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.put(), options.put())) || FAILED(frame->Initialize(options.get())) ||
        FAILED(frame->SetSize(kProbeSide, kProbeSide))) {
        return {};
    }
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) return {};
    std::vector<BYTE> pixels(static_cast<std::size_t>(kProbeSide) * kProbeSide * 3);
    std::uint32_t seed = 12345;
    for (BYTE& value : pixels) {
        seed = seed * 1664525u + 1013904223u;
        value = static_cast<BYTE>(seed >> 24);
    }
    if (FAILED(frame->WritePixels(kProbeSide, kProbeSide * 3, static_cast<UINT>(pixels.size()), pixels.data())) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
        return {};
    }
    STATSTG stat{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream.get(), &memory))) return {};
    std::vector<BYTE> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    const void* locked = GlobalLock(memory);
    if (!locked) return {};
    std::memcpy(bytes.data(), locked, bytes.size());
    GlobalUnlock(memory);
    return bytes;
}

}  // namespace

bool jpegReducedDecodeAvoidsWholeFrame(IWICImagingFactory& wic) {
    const std::vector<BYTE> jpeg = noiseJpeg(wic);
    if (jpeg.size() < 64 * 1024) return false;  // too small to tell a read-ahead from a decode
    ReadTrackingStream stream(jpeg);
    bool qualifies = false;
    {
        ComRef<IWICBitmapDecoder> decoder;
        ComRef<IWICBitmapFrameDecode> frame;
        ComRef<IWICBitmapSourceTransform> transform;
        if (SUCCEEDED(wic.CreateDecoderFromStream(&stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) &&
            SUCCEEDED(decoder->GetFrame(0, frame.put())) &&
            SUCCEEDED(frame->QueryInterface(kIidSourceTransform, transform.putVoid()))) {
            const bool readLittle = stream.furthestRead() < jpeg.size() / 2;
            UINT width = kProbeSide / 8;
            UINT height = kProbeSide / 8;
            WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
            if (readLittle && SUCCEEDED(transform->GetClosestSize(&width, &height)) && width < kProbeSide &&
                height < kProbeSide && SUCCEEDED(transform->GetClosestPixelFormat(&format))) {
                // And the reduced decode itself works.
                const std::optional<picture::RowLayout> layout = rowLayoutOf(format);
                const UINT stride = width * static_cast<UINT>(layout ? picture::bytesPerPixel(*layout) : 4);
                std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
                const WICRect all{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
                qualifies = layout && SUCCEEDED(transform->CopyPixels(&all, width, height, &format,
                                                                      WICBitmapTransformRotate0, stride,
                                                                      static_cast<UINT>(pixels.size()), pixels.data()));
            }
        }
    }
    return qualifies;
}

}  // namespace vistrel::platform::win32
