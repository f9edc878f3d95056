// The text rules of the win32 backend that need no Windows: UTF-8 <-> UTF-16
// at the API boundary, the command line after the program's path, the
// program's folder and the file dialog's filter list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/shell_text.h"
#include "platform/win32/utf16.h"

namespace vistrel::platform::win32 {
namespace {

using namespace std::string_literals;

TEST(Utf16Conversion, CharactersOfEveryLengthRoundTrip) {
    // One, two, three and four UTF-8 bytes; the last one a surrogate pair.
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a é € 😀
    const std::u16string units = utf8ToUtf16(text);
    EXPECT_EQ(units, (std::u16string{u'a', 0x00E9, 0x20AC, 0xD83D, 0xDE00}));
    EXPECT_EQ(utf16ToUtf8(units), text);
}

TEST(Utf16Conversion, EmbeddedNulsStay) {
    // The file dialog's filter list is NUL-separated.
    const std::string list = "A\0*.a\0\0"s;
    EXPECT_EQ(utf8ToUtf16(list), u"A\0*.a\0\0"s);
    EXPECT_EQ(utf16ToUtf8(u"A\0*.a\0\0"s), list);
}

TEST(Utf16Conversion, LoneSurrogatesOfFileNamesSurviveTheRoundTrip) {
    // Windows allows unpaired surrogates in names; such a name must reach
    // the system again unchanged after passing through the program.
    const std::u16string names[] = {
        {u'x', 0xD800, u'y'},  // lone high surrogate
        {0xDC00},              // lone low surrogate
        {0xDE00, 0xD83D},      // a pair in the wrong order is two lone units
        {0xD83D},              // a high surrogate at the very end
    };
    for (const std::u16string& name : names) EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(name)), name);
    EXPECT_EQ(utf16ToUtf8(std::u16string{0xD800}), "\xED\xA0\x80");
}

TEST(Utf16Conversion, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    const char16_t r = 0xFFFD;
    struct Case {
        std::string bytes;
        std::u16string units;
    };
    const Case cases[] = {
        {"\xFF", {r}},                                 // never a UTF-8 byte
        {"caf\xE9", {u'c', u'a', u'f', r}},            // Latin-1, not UTF-8
        {"\xE2\x82", {r, r}},                          // sequence cut short at the end
        {"\xE2\x82x", {r, r, u'x'}},                   // cut short before a letter
        {"\xC0\xAF", {r, r}},                          // overlong form of '/'
        {"\xE0\x80\xAF", {r, r, r}},                   // overlong in three bytes
        {"\xF4\x90\x80\x80", {r, r, r, r}},            // beyond U+10FFFF
        {"\x80z", {r, u'z'}},                          // continuation byte alone
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToUtf16(c.bytes), c.units) << testing::PrintToString(c.bytes);
}

TEST(CommandTail, IsWhatFollowsTheProgramPath) {
    struct Case {
        const char16_t* commandLine;
        const char16_t* tail;
    };
    const Case cases[] = {
        {u"C:\\WINDOWS\\vistrel.scr /s", u"/s"},
        {u"\"C:\\My Savers\\vistrel.scr\" /c:1234", u"/c:1234"},
        {u"\"C:\\My Savers\\vistrel.scr\"/p 5", u"/p 5"},     // no blank after the quote
        {u"vistrel.scr \t  /p  77 ", u"/p  77 "},            // blanks inside and after stay
        {u"vistrel.scr", u""},
        {u"\"C:\\vistrel.scr\"", u""},
        {u"\"C:\\unclosed quote /s", u""},
        {u"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(commandTail(c.commandLine), std::u16string_view(c.tail))
            << testing::PrintToString(utf16ToUtf8(c.commandLine));
    }
}

TEST(FolderOfPath, DropsTheFileNameButKeepsADriveRoot) {
    EXPECT_EQ(folderOfPath("C:\\Program Files\\Vistrel\\vistrel.scr"), "C:\\Program Files\\Vistrel");
    EXPECT_EQ(folderOfPath("C:\\vistrel.scr"), "C:\\");
    EXPECT_EQ(folderOfPath("\\\\server\\share\\vistrel.scr"), "\\\\server\\share");
    EXPECT_EQ(folderOfPath("\\\\?\\C:\\vistrel.scr"), "\\\\?\\C:\\");
    EXPECT_EQ(folderOfPath("\\vistrel.scr"), "\\");
    EXPECT_EQ(folderOfPath("vistrel.scr"), "");
}

TEST(FileDialogFilter, BarsBecomeNulsAndTheListEndsWithTwo) {
    EXPECT_EQ(fileDialogFilter("Pictures|*.gif;*.jpg|All files|*.*"), "Pictures\0*.gif;*.jpg\0All files\0*.*\0\0"s);
    // A closing bar does not add an empty entry.
    EXPECT_EQ(fileDialogFilter("Pictures|*.gif|"), "Pictures\0*.gif\0\0"s);
    EXPECT_EQ(fileDialogFilter(""), "");
}

TEST(FileDialogChoice, OnePathOrAFolderWithTheNamesChosenInIt) {
    const std::u16string one = u"C:\\Pictures\\a.bmp\0\0"s;
    EXPECT_EQ(chosenPaths(one.data(), one.size()), std::vector<std::u16string>{u"C:\\Pictures\\a.bmp"});
    const std::u16string several = u"C:\\Pictures\0a.bmp\0b.gif\0c.jpg\0\0"s;
    EXPECT_EQ(chosenPaths(several.data(), several.size()),
              (std::vector<std::u16string>{u"C:\\Pictures\\a.bmp", u"C:\\Pictures\\b.gif", u"C:\\Pictures\\c.jpg"}));
    const std::u16string root = u"D:\\\0x.png\0y.png\0\0"s;
    EXPECT_EQ(chosenPaths(root.data(), root.size()),
              (std::vector<std::u16string>{u"D:\\x.png", u"D:\\y.png"}));
    // A buffer filled to its end without the closing NULs is read no further.
    const std::u16string full = u"C:\\P\0a.bmp"s;
    EXPECT_EQ(chosenPaths(full.data(), full.size()), (std::vector<std::u16string>{u"C:\\P\\a.bmp"}));
    EXPECT_TRUE(chosenPaths(u"", 1).empty());
}

}  // namespace
}  // namespace vistrel::platform::win32
