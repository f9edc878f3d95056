// The portable rules of a bulk add: the file dialog's filter, the header
// check, and the texts the user sees.
#include <algorithm>

#include "dialog/bulk_add.h"
#include "picture/picture_fitting.h"

namespace vistrel::dialog {
namespace {

std::string countLine(int count, const char* what) { return withThousands(count) + " " + what; }

}  // namespace

std::vector<std::string> firstFilterExtensions(std::string_view filter) {
    std::vector<std::string> extensions;
    const std::size_t start = filter.find('|');
    if (start == std::string_view::npos) return extensions;
    std::string_view patterns = filter.substr(start + 1);
    patterns = patterns.substr(0, patterns.find('|'));
    while (!patterns.empty()) {
        const std::size_t end = std::min(patterns.find(';'), patterns.size());
        std::string_view pattern = patterns.substr(0, end);
        patterns.remove_prefix(std::min(end + 1, patterns.size()));
        if (pattern.starts_with("*")) pattern.remove_prefix(1);
        if (!pattern.starts_with(".") || pattern.size() < 2) continue;
        std::string extension(pattern);
        std::transform(extension.begin(), extension.end(), extension.begin(), library::lowerAscii);
        extensions.push_back(std::move(extension));
    }
    return extensions;
}

std::string addFileFilter(const std::vector<std::string>& decodable) {
    const std::string_view known = kAddFileFilter;
    const std::vector<std::string> listed = firstFilterExtensions(known);
    std::string more;
    for (const std::string& extension : decodable) {
        if (std::find(listed.begin(), listed.end(), extension) == listed.end()) more += ";*" + extension;
    }
    // After the first pattern list, which ends at the second "|".
    const std::size_t end = known.find('|', known.find('|') + 1);
    return std::string(known.substr(0, end)) + more + std::string(known.substr(end));
}

bool takenByExtension(const platform::PictureFileHeader& file, std::string_view path,
                      const library::PictureExtensions& decodable) {
    if (file.status != platform::FileStatus::Ok || file.header.format != picture::PictureFormat::Unknown) return false;
    // A ".jpg" whose header is not a JPEG's is damaged, whatever decoders say.
    static const library::PictureExtensions kOwn(library::ownPictureExtensions());
    if (kOwn.matches(path)) return false;
    return decodable.matches(path);
}

bool headerPassesCheck(const platform::PictureFileHeader& file, const picture::PictureRequest& screenFit) {
    if (file.status != platform::FileStatus::Ok) return false;
    const picture::PictureHeader& header = file.header;
    if (header.format == picture::PictureFormat::Unknown || header.impossible || !header.sizeKnown) return false;
    if (picture::pictureSizeAllowed(header.width, header.height)) return true;
    // The saver may still show a larger sequential JPEG, decoded reduced.
    return header.format == picture::PictureFormat::Jpeg && header.jpegSinglePass && screenFit.fits() &&
           !picture::refuseByHeader(header, screenFit, {.reducedJpegDecode = true});
}

std::string withThousands(std::int64_t number) {
    const std::string digits = std::to_string(number < 0 ? -number : number);
    std::string text = number < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

std::string bulkAddProgressText(int done, int total) {
    return "Adding " + withThousands(done) + " of " + withThousands(total) + "...";
}

std::string bulkAddSummaryText(const BulkAddCounts& counts, int maxImages) {
    if (counts.offered == 0) return "No picture files were found.";
    std::string text = withThousands(counts.added) + (counts.added == 1 ? " picture was" : " pictures were") +
                       " added to the list.";
    if (!counts.anythingLeftOut()) return text;
    text += "\r\n\r\nLeft out:";
    if (counts.notPictures > 0) text += "\r\n" + countLine(counts.notPictures, "not a picture or damaged");
    if (counts.duplicates > 0) text += "\r\n" + countLine(counts.duplicates, "already in the list");
    if (counts.overLimit > 0) {
        text += "\r\n" + countLine(counts.overLimit, "over the limit of ") + withThousands(maxImages) + " pictures";
    }
    if (counts.notReached > 0) text += "\r\n" + countLine(counts.notReached, "not looked at: stopped with Esc");
    return text;
}

}  // namespace vistrel::dialog
