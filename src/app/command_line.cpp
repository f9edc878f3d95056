#include "app/command_line.h"

#include <cstdint>

#include "common/numbers.h"

namespace vistrel::app {

std::string modeKey(std::string_view commandText) {
    std::string key(commandText.substr(0, 2));
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return key;
}

Mode modeOf(std::string_view commandText) {
    if (commandText.find_first_not_of(" \t") == std::string_view::npos) return Mode::Configure;
    const std::string key = modeKey(commandText);
    if (key == "/c") return Mode::Configure;
    if (key == "/s") return Mode::Saver;
    if (key == "/p") return Mode::Preview;
    return Mode::Nothing;
}

platform::Handle configureOwner(std::string_view commandText) {
    if (commandText.size() < 3 || (commandText[2] != ':' && commandText[2] != ' ')) return 0;
    const auto handle = toInt32(numericValue(commandText.substr(3)));
    if (!handle) return 0;
    return static_cast<platform::Handle>(static_cast<std::intptr_t>(*handle));
}

std::optional<platform::Handle> previewHandle(std::string_view commandText) {
    if (commandText.size() < 3) return std::nullopt;
    const auto handle = toInt32(numericValue(commandText.substr(3)));
    if (!handle) return std::nullopt;
    // A window handle is a 32-bit value, sign-extended on 64-bit Windows.
    return static_cast<platform::Handle>(static_cast<std::intptr_t>(*handle));
}

}  // namespace vistrel::app
