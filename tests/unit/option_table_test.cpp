// The one table of the settings file's options: the README's table says
// the same, keys read through it take their first-start value when missing,
// and a save by the dialog gives back what it read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_test_support.h"
#include "saver/saver_fallbacks.h"
#include "settings/option_table.h"
#include "settings/profile_document.h"

namespace vistrel::testing {
namespace {

using settings::Option;
using settings::optionTable;
using settings::specOf;

std::string readmeText() {
    std::ifstream file(std::string(VISTREL_SOURCE_DIR) + "/README.md");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> cellsOf(const std::string& row) {
    std::vector<std::string> cells;
    std::stringstream stream(row.substr(1));
    for (std::string cell; std::getline(stream, cell, '|');) {
        const std::size_t first = cell.find_first_not_of(' ');
        cells.push_back(first == std::string::npos ? "" : cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    }
    return cells;
}

// "`word`" as word; "(empty)" as "".
std::string unquoted(const std::string& cell) {
    if (cell == "(empty)") return "";
    if (cell.size() >= 2 && cell.front() == '`' && cell.back() == '`') return cell.substr(1, cell.size() - 2);
    return "<not in backticks: " + cell + ">";
}

// The rows of the README table whose header starts with `header`.
std::vector<std::vector<std::string>> readmeTable(const std::string& text, const std::string& header) {
    std::vector<std::vector<std::string>> rows;
    std::stringstream lines(text);
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(header, 0) == 0) {
            inside = true;
            continue;
        }
        if (!inside) continue;
        if (line.empty() || line[0] != '|') break;
        if (line.rfind("|---", 0) != 0) rows.push_back(cellsOf(line));
    }
    return rows;
}

TEST(OptionTable, TheReadmesTableNamesEveryOptionWithItsSectionAndFirstStartValue) {
    const auto rows = readmeTable(readmeText(), "| key | section | first start |");
    ASSERT_FALSE(rows.empty()) << "no table of every option in the README";
    std::map<std::string, std::vector<std::string>> byKey;
    for (const auto& row : rows) {
        ASSERT_GE(row.size(), 5u);
        EXPECT_TRUE(byKey.emplace(unquoted(row[0]), row).second) << row[0] << " twice";
    }
    for (const settings::OptionSpec& spec : optionTable()) {
        const auto row = byKey.find(std::string(spec.key));
        ASSERT_NE(row, byKey.end()) << spec.key << " is missing from the README";
        EXPECT_EQ(unquoted(row->second[1]), "[" + std::string(spec.section) + "]") << spec.key;
        EXPECT_EQ(unquoted(row->second[2]), spec.firstStart) << spec.key;
        byKey.erase(row);
    }
    for (const auto& [key, row] : byKey) ADD_FAILURE() << "the README names " << key << ", which is no option";
}

TEST(OptionTable, EveryKeyTheSettingsFilesTablesInTheReadmeNameIsOne) {
    // Any `lowerCamelCase` word in backticks in the first cell of a table
    // row of the section on the settings file.
    const std::regex key("`([a-z][a-zA-Z]+)`");
    std::set<std::string> known = {"total"};
    for (const settings::OptionSpec& spec : optionTable()) known.emplace(spec.key);
    const std::string readme = readmeText();
    const std::size_t start = readme.find("\n## The settings file\n");
    ASSERT_NE(start, std::string::npos);
    std::stringstream lines(readme.substr(start, readme.find("\n## ", start + 1) - start));
    int named = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("| ", 0) != 0) continue;
        const std::string first = cellsOf(line)[0];
        for (auto match = std::sregex_iterator(first.begin(), first.end(), key); match != std::sregex_iterator(); ++match) {
            ++named;
            EXPECT_TRUE(known.count((*match)[1])) << (*match)[1] << " in: " << line;
        }
    }
    EXPECT_GT(named, static_cast<int>(optionTable().size()));
}

TEST(OptionTable, TheSaversFallbacksForUnusableValuesAreTheFirstStartValues) {
    EXPECT_EQ(saver::colorOrFallback(specOf(Option::newBackColor).firstStart, 1), saver::kFallbackBackColor);
    EXPECT_EQ(saver::colorOrFallback(specOf(Option::newFontForeColor).firstStart, 1), saver::kFallbackCaptionColor);
    EXPECT_EQ(saver::fontSizeOrFallback(specOf(Option::newFontSize).firstStart), saver::kFallbackFontSize);
    EXPECT_EQ(specOf(Option::newFontName).firstStart, saver::kFallbackFontName);
}

// A reader over a fixed set of values that notes what is asked.
struct NotingReader final : settings::SettingsReader {
    std::map<std::string, std::string> values;  // "section/key"
    std::vector<std::string> asked;
    std::string ReadSetting(std::string_view section, std::string_view key) override {
        const std::string name = std::string(section) + "/" + std::string(key);
        asked.push_back(name);
        const auto it = values.find(name);
        return it == values.end() ? "" : it->second;
    }
};

TEST(OptionTable, TheSaverReadsEachOfItsKeysOnceMissingOrEmptyAsTheFirstStartValue) {
    NotingReader file;
    file.values = {{"image/picSpeed", "5"}, {"image/picRandom", ""}, {"image/autoCaption", "date"},
                   {"image/picChange", "not_ch"}};
    const settings::OptionValues read = settings::readSaverOptions(file);
    EXPECT_EQ(read[Option::picSpeed], "5");
    EXPECT_EQ(read[Option::picRandom], "cent");       // empty
    EXPECT_EQ(read[Option::timeInterval], "2");       // missing
    EXPECT_EQ(read[Option::newFontForeColor], "16777215");
    EXPECT_EQ(read[Option::saverPassword], "");       // the one empty first-start value
    EXPECT_EQ(read[Option::autoCaption], "date");
    EXPECT_EQ(read[Option::picChange], "");           // the dialog's alone: not read
    EXPECT_EQ(file.asked.size(), optionTable().size() - 1);
    EXPECT_THAT(file.asked, ::testing::Not(::testing::Contains("image/picChange")));
}

class OptionRoundTripTest : public DialogTest {};

TEST_F(OptionRoundTripTest, OkWritesBackEveryOptionAsReadAndHandEditedValuesTheDialogKeeps) {
    // A value for each key other than its first-start one, as the dialog
    // would write it; the three keys no control of the main window shows
    // hold hand-edited texts.
    const std::map<Option, std::string> edited = {
        {Option::randomPick, "1"},        {Option::newBackColor, "255"},     {Option::backEffect, "1"},
        {Option::picSpeed, "5"},          {Option::timeInterval, "17"},      {Option::picRandom, "rand"},
        {Option::picChange, "ch"},        {Option::effectMode, "6"},         {Option::randomEffect, "1"},
        {Option::fitLarge, "2"},          {Option::allMonitors, "yes"},      {Option::autoCaption, "File, sepia"},
        {Option::saverPassword, "pw"},    {Option::saverEnabled, "1"},       {Option::newFontName, "Georgia"},
        {Option::newFontSize, "10.5"},    {Option::newFontBold, "True"},     {Option::newFontItalic, "True"},
        {Option::newFontUnderline, "True"}, {Option::newFontFontStrikethru, "True"}, {Option::newFontForeColor, "65280"},
    };
    ASSERT_EQ(edited.size(), optionTable().size());
    std::vector<std::string> lines = {"[images]", "0=C:\\Pictures\\a.jpg", "[total]", "total=1", "[caption]", "0="};
    for (const char* section : {"image", "background", "password", "font"}) {
        lines.push_back("[" + std::string(section) + "]");
        for (const settings::OptionSpec& spec : optionTable()) {
            if (spec.section == section) lines.push_back(std::string(spec.key) + "=" + edited.at(spec.option));
        }
    }
    putSamplePictures(platform);
    open(crlfLines(lines));
    ASSERT_TRUE(act([&] { c<ui::Button>("Ok").userClick(); }));

    const auto saved = settings::ProfileDocument::fromFileBytes(settingsOnDisk(), [](std::string_view b) {
        return std::string(b);
    });
    for (const settings::OptionSpec& spec : optionTable()) {
        EXPECT_EQ(saved.get(spec.section, spec.key).value_or("<missing>"), edited.at(spec.option)) << spec.key;
    }
}

}  // namespace
}  // namespace vistrel::testing
