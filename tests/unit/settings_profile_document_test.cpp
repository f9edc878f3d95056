#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/profile_document.h"

namespace vistrel::settings {
namespace {

// The bytes of a file with these lines, each ended by CR LF.
std::string fileOf(std::initializer_list<std::string_view> lines) {
    std::string bytes;
    for (std::string_view line : lines) (bytes += line) += "\r\n";
    return bytes;
}

ProfileDocument reread(const ProfileDocument& document) { return ProfileDocument::parse(document.serialize()); }

TEST(ProfileDocumentReading, NamesMatchWithoutLetterCaseOrSurroundingBlanks) {
    const auto document = ProfileDocument::parse("[ Font ]\nNEWFONTNAME\t= Arial \n");
    EXPECT_EQ(document.get("font", "newFontName"), "Arial");
    EXPECT_EQ(document.get("FONT", " newfontname "), "Arial");
    EXPECT_EQ(document.get("fonts", "newFontName"), std::nullopt);
}

TEST(ProfileDocumentReading, EmptyValueIsPresentButMissingKeyIsNot) {
    const auto document = ProfileDocument::parse(fileOf({"[caption]", "0=", "just text"}));
    EXPECT_EQ(document.get("caption", "0"), "");
    EXPECT_EQ(document.get("caption", "1"), std::nullopt);
    EXPECT_EQ(document.get("caption", "just text"), std::nullopt);
}

TEST(ProfileDocumentReading, OnePairOfMatchingQuotesIsStripped) {
    const auto document = ProfileDocument::parse(fileOf(
        {"[caption]", "0=\"in quotes\"", "1= 'single' ", "2=\"\"twice\"\"", "3=\"mixed'", "4=\"", "5=a=b"}));
    EXPECT_EQ(document.get("caption", "0"), "in quotes");
    EXPECT_EQ(document.get("caption", "1"), "single");
    EXPECT_EQ(document.get("caption", "2"), "\"twice\"");
    EXPECT_EQ(document.get("caption", "3"), "\"mixed'");
    EXPECT_EQ(document.get("caption", "4"), "\"");
    EXPECT_EQ(document.get("caption", "5"), "a=b");
}

TEST(ProfileDocumentReading, FirstOfDuplicateSectionsAndKeysWins) {
    const auto document = ProfileDocument::parse(
        fileOf({"[image]", "picSpeed=1", "PICSPEED=2", "[Image]", "picSpeed=3", "effectMode=4"}));
    EXPECT_EQ(document.get("image", "picSpeed"), "1");
    EXPECT_EQ(document.get("image", "effectMode"), std::nullopt);
}

TEST(ProfileDocumentReading, AnyLineEndingAndHeaderWithoutBracket) {
    const auto document = ProfileDocument::parse("top=0\r[total\rtotal=2\r\n[x]y\nk=v");
    EXPECT_EQ(document.get("total", "total"), "2");
    EXPECT_EQ(document.get("x", "k"), "v");
    EXPECT_EQ(document.get("", "top"), std::nullopt);
}

TEST(ProfileDocumentWriting, NewDocumentHoldsSectionsInOrderOfFirstWrite) {
    ProfileDocument document;
    ASSERT_TRUE(document.set("images", "0", "C:\\a.jpg"));
    ASSERT_TRUE(document.set("total", "total", "1"));
    ASSERT_TRUE(document.set("images", "1", "C:\\b.gif"));
    ASSERT_TRUE(document.set("caption", "0", ""));
    EXPECT_EQ(document.serialize(), fileOf({"[images]", "0=C:\\a.jpg", "1=C:\\b.gif", "", "[total]", "total=1",
                                            "", "[caption]", "0="}));
}

TEST(ProfileDocumentWriting, UnchangedLinesSurviveByteForByte) {
    const std::string original = fileOf({"; written by hand", "[font]", "  NewFontName = Arial  ", "myOwnKey=keep me",
                                         "no equals sign here", "", "[mine]", "x = 'y'"});
    auto document = ProfileDocument::parse(original);
    ASSERT_TRUE(document.set("FONT", "newfontname", "Tahoma"));
    EXPECT_EQ(document.serialize(), fileOf({"; written by hand", "[font]", "  NewFontName =Tahoma", "myOwnKey=keep me",
                                            "no equals sign here", "", "[mine]", "x = 'y'"}));
}

TEST(ProfileDocumentWriting, NewKeyGoesAfterTheLastEntryOfItsSection) {
    auto document = ProfileDocument::parse(fileOf({"[image]", "a=1", "; note", "b=2", "", "; trailing", "[font]"}));
    ASSERT_TRUE(document.set("image", "c", "3"));
    EXPECT_EQ(document.serialize(), fileOf({"[image]", "a=1", "; note", "b=2", "c=3", "", "; trailing", "[font]"}));

    auto headerOnly = ProfileDocument::parse(fileOf({"[image]", "", "[font]"}));
    ASSERT_TRUE(headerOnly.set("image", "c", "3"));
    EXPECT_EQ(headerOnly.serialize(), fileOf({"[image]", "c=3", "", "[font]"}));
}

TEST(ProfileDocumentWriting, RemovingASectionTakesEveryCopyAndLeavesTheRest) {
    auto document = ProfileDocument::parse(
        fileOf({"before=1", "[images]", "0=a", "", "[total]", "total=1", "", "[IMAGES]", "5=stale"}));
    document.removeSection("images");
    EXPECT_EQ(document.serialize(), fileOf({"before=1", "[total]", "total=1", ""}));
    EXPECT_EQ(document.get("images", "5"), std::nullopt);
}

// What every save does to the image list: both sections are removed and
// written anew, after the option keys.
void saveImageList(ProfileDocument& document, int count) {
    document.removeSection("images");
    document.removeSection("caption");
    for (int i = 0; i < count; ++i) {
        ASSERT_TRUE(document.set("images", std::to_string(i), "C:\\pic" + std::to_string(i) + ".jpg"));
        ASSERT_TRUE(document.set("caption", std::to_string(i), i == 0 ? "" : "caption"));
    }
    ASSERT_TRUE(document.set("total", "total", std::to_string(count)));
}

TEST(ProfileDocumentWriting, ShorterImageListLeavesNoStaleKeysAndSavesAreStable) {
    ProfileDocument document;
    saveImageList(document, 5);
    saveImageList(document, 2);
    EXPECT_EQ(document.serialize(), fileOf({"[total]", "total=2", "", "[images]", "0=C:\\pic0.jpg", "1=C:\\pic1.jpg",
                                            "", "[caption]", "0=", "1=caption"}));
    const std::string once = document.serialize();
    auto again = ProfileDocument::parse(once);
    saveImageList(again, 2);
    EXPECT_EQ(again.serialize(), once);  // no blank lines pile up between saves
}

TEST(ProfileDocumentWriting, EveryValueReadsBackAsWritten) {
    const std::string longPath = "C:\\" + std::string(2000, 'p') + ".jpg";
    for (const std::string& value : {std::string("plain"), std::string(""), std::string("password "),
                                    std::string(" lead"), std::string("\ttab\t"), std::string("\"in quotes\""),
                                    std::string("'single'"), std::string("\""), std::string("\"\""),
                                    std::string("a=b;c"), std::string("Caf\xC3\xA9 \xE6\x97\xA5"), longPath}) {
        ProfileDocument document;
        ASSERT_TRUE(document.set("caption", "0", value));
        EXPECT_EQ(document.get("caption", "0"), value);
        EXPECT_EQ(reread(document).get("caption", "0"), value) << document.serialize();
    }
}

TEST(ProfileDocumentWriting, OnlyValuesThatNeedItAreQuoted) {
    ProfileDocument document;
    ASSERT_TRUE(document.set("p", "plain", "has inner \"quotes\""));
    ASSERT_TRUE(document.set("p", "password", "secret "));
    ASSERT_TRUE(document.set("p", "caption", "'x'"));
    EXPECT_EQ(document.serialize(),
              fileOf({"[p]", "plain=has inner \"quotes\"", "password=\"secret \"", "caption=\"'x'\""}));
}

TEST(ProfileDocumentWriting, LineBreaksInAValueBecomeSpaces) {
    ProfileDocument document;
    ASSERT_TRUE(document.set("caption", "0", "one\r\ntwo\nthree\rfour\n[font]"));
    EXPECT_EQ(document.serialize(), fileOf({"[caption]", "0=one two three four [font]"}));
}

TEST(ProfileDocumentWriting, BytesThatAreNotUtf8AreWrittenAsReplacementCharacters) {
    ProfileDocument document;
    ASSERT_TRUE(document.set("caption", "0", "Caf\xE9"));
    EXPECT_EQ(document.get("caption", "0"), "Caf\xEF\xBF\xBD");
}

TEST(ProfileDocumentWriting, NamesThatCouldNotBeReadBackAreRefused) {
    const std::string original = fileOf({"[font]", "a=1"});
    auto document = ProfileDocument::parse(original);
    EXPECT_FALSE(document.set("", "key", "v"));
    EXPECT_FALSE(document.set(" \t", "key", "v"));
    EXPECT_FALSE(document.set("a]b", "key", "v"));
    EXPECT_FALSE(document.set("a\nb", "key", "v"));
    EXPECT_FALSE(document.set("font", "", "v"));
    EXPECT_FALSE(document.set("font", "k=v", "v"));
    EXPECT_FALSE(document.set("font", "[k", "v"));
    EXPECT_FALSE(document.set("font", "k\r", "v"));
    EXPECT_FALSE(document.set("font", "\xFF", "v"));
    EXPECT_EQ(document.serialize(), original);
}

TEST(ProfileDocumentWriting, AddedSectionGetsOneBlankLineBeforeIt) {
    auto endsInEntry = ProfileDocument::parse("[a]\nk=1");
    ASSERT_TRUE(endsInEntry.set("b", "k", "2"));
    EXPECT_EQ(endsInEntry.serialize(), fileOf({"[a]", "k=1", "", "[b]", "k=2"}));

    auto endsBlank = ProfileDocument::parse("[a]\nk=1\n  \n");
    ASSERT_TRUE(endsBlank.set("b", "k", "2"));
    EXPECT_EQ(endsBlank.serialize(), fileOf({"[a]", "k=1", "  ", "[b]", "k=2"}));
}

// get() and set() go through an index that set() keeps up to date while it
// appends at the end and rebuilds after any other change. A document that
// went through many changes must answer as one parsed afresh from its bytes.
TEST(ProfileDocumentIndex, ChangedDocumentAnswersAsOneParsedAfresh) {
    auto document = ProfileDocument::parse(fileOf({"; comment", "[image]", "picSpeed=1", "", "[Font]", "a=1",
                                                  "A=2", "; tail", "[font]", "b=3", "[caption]", "0=x"}));
    const std::vector<std::pair<std::string, std::string>> names = {
        {"image", "picSpeed"}, {"image", "timeInterval"}, {"font", "a"}, {"font", "b"}, {"font", "c"},
        {"caption", "0"},      {"caption", "1"},          {"images", "0"}, {"images", "1"}, {"total", "total"}};
    auto expectSameAsReread = [&](const std::string& step) {
        const ProfileDocument fresh = reread(document);
        for (const auto& [section, key] : names) {
            EXPECT_EQ(document.get(section, key), fresh.get(section, key)) << step << ": " << section << "/" << key;
        }
        EXPECT_EQ(fresh.serialize(), document.serialize()) << step;
    };

    expectSameAsReread("parsed");
    ASSERT_TRUE(document.set("images", "0", "a.jpg"));  // new section at the end
    ASSERT_TRUE(document.set("images", "1", "b.jpg"));  // appended to the last section
    expectSameAsReread("images appended");
    ASSERT_TRUE(document.set("font", "c", "4"));  // inserted before "; tail": lines move
    ASSERT_TRUE(document.set("image", "timeInterval", "5"));
    expectSameAsReread("keys inserted");
    ASSERT_TRUE(document.set("FONT", "A", "9"));  // in place, the first of the duplicates
    document.removeSection("caption");
    ASSERT_TRUE(document.set("caption", "1", "y"));
    ASSERT_TRUE(document.set("total", "total", "2"));
    ASSERT_TRUE(document.set("images", "1", "c.jpg"));
    expectSameAsReread("section removed and added again");
    EXPECT_EQ(document.get("font", "a"), "9");
    EXPECT_EQ(document.get("caption", "0"), std::nullopt);
    EXPECT_EQ(document.get("caption\n", "1"), std::nullopt);
}

}  // namespace
}  // namespace vistrel::settings
