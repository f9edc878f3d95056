#include "platform/headless/picture_decoder.h"

#include "platform/headless/jpeg_decoder.h"
#include "platform/headless/picture_structure.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <memory>
#include <string>
#include <string_view>

namespace vistrel::platform::headless {
namespace {

// Picks the decoder from the file's signature, so that only the three
// formats the program offers ever reach gdk-pixbuf (which would otherwise
// also run its SVG, TIFF, ICO... loaders on whatever it is given).
const char* formatOf(std::span<const std::uint8_t> bytes) {
    auto startsWith = [&](std::string_view magic) {
        if (bytes.size() < magic.size()) return false;
        for (std::size_t i = 0; i < magic.size(); ++i) {
            if (bytes[i] != static_cast<std::uint8_t>(magic[i])) return false;
        }
        return true;
    };
    if (startsWith("GIF87a") || startsWith("GIF89a")) return "gif";
    if (startsWith("\xFF\xD8\xFF")) return "jpeg";
    if (startsWith("BM")) return "bmp";
    return nullptr;
}

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
    if (!pictureSizeAllowed(width, height)) {
        check->tooLarge = true;
        gdk_pixbuf_loader_set_size(loader, 0, 0);
    }
}

PictureFailure failure(PictureError error, std::string detail) { return {error, std::move(detail)}; }

std::uint8_t overBlack(std::uint8_t channel, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 127) / 255);
}

Picture toPicture(const GdkPixbuf* pixbuf) {
    Picture picture;
    picture.width = gdk_pixbuf_get_width(pixbuf);
    picture.height = gdk_pixbuf_get_height(pixbuf);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    const int channels = gdk_pixbuf_get_n_channels(pixbuf);
    const bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
    const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    const guint8* rows = gdk_pixbuf_read_pixels(pixbuf);
    for (int y = 0; y < picture.height; ++y) {
        const guint8* p = rows + static_cast<std::size_t>(y) * rowstride;
        for (int x = 0; x < picture.width; ++x, p += channels) {
            std::uint8_t r = p[0], g = p[1], b = p[2];
            if (hasAlpha) {
                r = overBlack(r, p[3]);
                g = overBlack(g, p[3]);
                b = overBlack(b, p[3]);
            }
            picture.pixels[static_cast<std::size_t>(y) * picture.width + x] =
                0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
        }
    }
    return picture;
}

}  // namespace

PictureResult decodePictureBytes(std::span<const std::uint8_t> bytes) {
    const char* format = formatOf(bytes);
    if (!format) return failure(PictureError::Undecodable, "not a GIF, JPEG or BMP file");
    if (std::string_view(format) == "jpeg") {
        // Photos are the large pictures: they are decoded without a copy.
        if (auto decoded = decodeJpegDirect(bytes)) {
            if (std::holds_alternative<Picture>(*decoded) && !jpegReachesEnd(bytes)) {
                return failure(PictureError::Undecodable, "the file is truncated");
            }
            return std::move(*decoded);
        }
    }

    GError* rawError = nullptr;
    LoaderPtr loader(gdk_pixbuf_loader_new_with_type(format, &rawError));
    ErrorPtr error(rawError);
    if (!loader) return failure(PictureError::Undecodable, error ? error->message : "no decoder");

    SizeCheck check;
    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(onSizePrepared), &check);

    rawError = nullptr;
    const bool written = gdk_pixbuf_loader_write(loader.get(), bytes.data(), bytes.size(), &rawError);
    ErrorPtr writeError(rawError);
    rawError = nullptr;
    // A loader must always be closed; after a failed write the close only
    // reports the same trouble again.
    const bool closed = gdk_pixbuf_loader_close(loader.get(), &rawError);
    ErrorPtr closeError(rawError);

    if (check.tooLarge) {
        return failure(PictureError::TooLarge, "declares " + std::to_string(check.width) + " x " +
                                                   std::to_string(check.height) + " pixels");
    }
    if (!written || !closed) {
        const GError* reason = writeError ? writeError.get() : closeError.get();
        return failure(PictureError::Undecodable, reason ? reason->message : "decoding failed");
    }
    // Checked after decoding, so that a huge declared size is still told
    // apart from a short file.
    const std::string_view name = format;
    if ((name == "jpeg" && !jpegReachesEnd(bytes)) || (name == "bmp" && !bmpHoldsAllRows(bytes))) {
        return failure(PictureError::Undecodable, "the file is truncated");
    }
    const GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader.get());
    if (!pixbuf) return failure(PictureError::Undecodable, "no image in the file");
    if (gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || gdk_pixbuf_get_n_channels(pixbuf) < 3 ||
        !pictureSizeAllowed(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf))) {
        return failure(PictureError::Undecodable, "unexpected pixel layout");
    }
    return toPicture(pixbuf);
}

}  // namespace vistrel::platform::headless
