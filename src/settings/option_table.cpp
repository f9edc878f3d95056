#include "settings/option_table.h"

namespace vistrel::settings {
namespace {

// Each row stands at the place of its option, so specOf is an index.
constexpr bool rowsInOptionOrder() {
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        if (static_cast<std::size_t>(optionTable()[i].option) != i) return false;
    }
    return true;
}
static_assert(rowsInOptionOrder(), "one row per option, in the order of Option");

}  // namespace

std::string readOption(SettingsReader& reader, const OptionSpec& spec) {
    std::string text = reader.ReadSetting(spec.section, spec.key);
    return text.empty() ? std::string(spec.firstStart) : text;
}

OptionValues readSaverOptions(SettingsReader& reader) {
    OptionValues values;
    for (const OptionSpec& spec : optionTable()) {
        if (spec.saverReads) values[spec.option] = readOption(reader, spec);
    }
    return values;
}

}  // namespace vistrel::settings
