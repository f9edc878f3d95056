#include "platform/headless/picture_decoder.h"

#include "platform/headless/jpeg_decoder.h"
#include "picture/picture_structure.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>
#include <vector>
#include <string>
#include <string_view>

namespace vistrel::platform::headless {
namespace {

struct LoaderUnref {
    void operator()(GdkPixbufLoader* loader) const { g_object_unref(loader); }
};
using LoaderPtr = std::unique_ptr<GdkPixbufLoader, LoaderUnref>;

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct SizeCheck {
    bool tooLarge = false;
    int width = 0;
    int height = 0;
};

// Runs inside the format module, after the header is parsed and before the
// pixel buffer exists. Asking for a 0 x 0 result makes the GIF, JPEG and
// BMP modules stop there without allocating.
void onSizePrepared(GdkPixbufLoader* loader, gint width, gint height, gpointer data) {
    auto* check = static_cast<SizeCheck*>(data);
    check->width = width;
    check->height = height;
    if (!picture::pictureSizeAllowed(width, height)) {
        check->tooLarge = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
    }
}

picture::PictureFailure failure(picture::PictureError error, std::string detail) { return {error, std::move(detail)}; }

const char* gdkLoaderName(picture::PictureFormat format) {
    switch (format) {
        case picture::PictureFormat::Gif: return "gif";
        case picture::PictureFormat::Jpeg: return "jpeg";
        case picture::PictureFormat::Bmp: return "bmp";
        case picture::PictureFormat::Png: return "png";
        case picture::PictureFormat::Tiff: return "tiff";
        case picture::PictureFormat::Unknown: break;
    }
    return nullptr;
}

// gdk-pixbuf decodes the whole frame; the rows then go to the sink. Only
// the formats the program offers reach it (it would otherwise also run its
// SVG, ICO... loaders on whatever it is given).
class PixbufPictureDecoder final : public picture::PictureDecoder {
public:
    PixbufPictureDecoder(std::span<const std::uint8_t> bytes, picture::PictureFormat format) : bytes_(bytes), format_(format) {}

    std::optional<picture::PictureFailure> decode(int, picture::PictureRowSink& sink) override {
        GError* rawError = nullptr;
        // A format the header reader does not know (WebP, HEIF...) goes to
        // the module that recognises its bytes.
        const char* module = gdkLoaderName(format_);
        loader_.reset(module ? gdk_pixbuf_loader_new_with_type(module, &rawError) : gdk_pixbuf_loader_new());
        ErrorPtr error(rawError);
        if (!loader_) return failure(picture::PictureError::Undecodable, error ? error->message : "no decoder");

        SizeCheck check;
        g_signal_connect(loader_.get(), "size-prepared", G_CALLBACK(onSizePrepared), &check);
        rawError = nullptr;
        const bool written = gdk_pixbuf_loader_write(loader_.get(), bytes_.data(), bytes_.size(), &rawError);
        ErrorPtr writeError(rawError);
        rawError = nullptr;
        // A loader must always be closed; after a failed write the close only
        // reports the same trouble again.
        const bool closed = gdk_pixbuf_loader_close(loader_.get(), &rawError);
        ErrorPtr closeError(rawError);

        if (check.tooLarge) {
            sink.begin({check.width, check.height});  // refused there, and reported as too large
            return failure(picture::PictureError::TooLarge, "declares " + std::to_string(check.width) + " x " +
                                                       std::to_string(check.height) + " pixels");
        }
        if (!written || !closed) {
            const GError* reason = writeError ? writeError.get() : closeError.get();
            return failure(picture::PictureError::Undecodable, reason ? reason->message : "decoding failed");
        }
        if ((format_ == picture::PictureFormat::Jpeg && !picture::jpegReachesEnd(bytes_)) ||
            (format_ == picture::PictureFormat::Bmp && !picture::bmpHoldsAllRows(bytes_))) {
            return failure(picture::PictureError::Undecodable, "the file is truncated");
        }
        const GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader_.get());
        if (!pixbuf) return failure(picture::PictureError::Undecodable, "no image in the file");
        const int width = gdk_pixbuf_get_width(pixbuf);
        const int height = gdk_pixbuf_get_height(pixbuf);
        const int channels = gdk_pixbuf_get_n_channels(pixbuf);
        if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < 3) {
            return failure(picture::PictureError::Undecodable, "unexpected pixel layout");
        }
        if (!sink.begin({width, height})) return std::nullopt;
        const bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
        const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
        const guint8* rows = gdk_pixbuf_read_pixels(pixbuf);
        std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            const guint8* p = rows + static_cast<std::size_t>(y) * rowstride;
            for (int x = 0; x < width; ++x, p += channels) {
                const std::uint32_t alpha = hasAlpha ? p[3] : 0xFF;
                row[static_cast<std::size_t>(x)] =
                    alpha << 24 | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
            }
            sink.row(row.data());
        }
        return std::nullopt;
    }

private:
    std::span<const std::uint8_t> bytes_;
    picture::PictureFormat format_;
    LoaderPtr loader_;
};

bool isRasterFormat(GdkPixbufFormat* format) {
    return !gdk_pixbuf_format_is_disabled(format) && !gdk_pixbuf_format_is_scalable(format);
}

}  // namespace

std::vector<std::string> pixbufExtensions() {
    std::vector<std::string> extensions;
    GSList* formats = gdk_pixbuf_get_formats();
    for (GSList* item = formats; item; item = item->next) {
        auto* format = static_cast<GdkPixbufFormat*>(item->data);
        if (!isRasterFormat(format)) continue;
        gchar** names = gdk_pixbuf_format_get_extensions(format);
        for (gchar** name = names; name && *name; ++name) extensions.push_back("." + std::string(*name));
        g_strfreev(names);
    }
    g_slist_free(formats);
    return extensions;
}

picture::PictureResult decodePictureBytes(std::span<const std::uint8_t> bytes, const picture::PictureRequest& request) {
    const picture::PictureHeader header = picture::readPictureHeader(picture::MemoryByteSource(bytes));
    if (header.format == picture::PictureFormat::Jpeg) {
        // Photos are the large pictures: decoded reduced where they are shown reduced.
        JpegPictureDecoder jpeg(bytes);
        picture::PictureResult result = picture::loadFittedPicture(header, jpeg, request, {.reducedJpegDecode = true});
        if (!jpeg.needsOtherDecoder()) return result;
    }
    PixbufPictureDecoder pixbuf(bytes, header.format);
    return picture::loadFittedPicture(header, pixbuf, request, {});
}

}  // namespace vistrel::platform::headless
