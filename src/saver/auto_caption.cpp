#include "saver/auto_caption.h"

namespace vistrel::saver {
namespace {

constexpr std::string_view kSeparators = "\\/";

}  // namespace

std::string_view folderNameOf(std::string_view path) {
    const std::size_t nameStart = path.find_last_of(kSeparators);
    if (nameStart == std::string_view::npos) return {};
    const std::string_view folder = path.substr(0, nameStart);
    const std::size_t folderStart = folder.find_last_of(kSeparators);
    const std::string_view name = folderStart == std::string_view::npos ? folder : folder.substr(folderStart + 1);
    // "C:" is a drive, not a folder with a name.
    if (name.empty() || name.back() == ':') return {};
    return name;
}

std::string_view fileTitleOf(std::string_view path) {
    const std::size_t nameStart = path.find_last_of(kSeparators);
    const std::string_view name = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
    const std::size_t dot = name.rfind('.');
    // A name that starts with its only dot (".jpg") has no extension to drop.
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string composeCaption(const CaptionSources& sources, settings::CaptionParts parts) {
    if (!sources.ownCaption.empty()) return std::string(sources.ownCaption);
    if (!sources.entryCaption.empty()) return std::string(sources.entryCaption);
    std::string caption;
    auto add = [&caption](std::string_view part) {
        if (part.empty()) return;
        if (!caption.empty()) caption += kCaptionPartSeparator;
        caption += part;
    };
    if (parts.date) add(sources.dateText);
    if (parts.folder) add(folderNameOf(sources.path));
    if (parts.file) add(fileTitleOf(sources.path));
    return caption;
}

}  // namespace vistrel::saver
