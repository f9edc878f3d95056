// Writes a settings file with the program's own settings code and reads it
// back through the system's GetPrivateProfileStringA and through our own
// reader: every value we write must come back as written from both (blanks
// at the ends, quotes, letter case of names, long values), and a hand-edited
// file must read the same through both and keep what we do not touch.
//
//   profile_check.exe <ini path>
//
// Exit code 0: every value read back as expected; 1: a mismatch (each one is
// printed); 2: bad arguments or a file that could not be written at all.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "settings/settings_file.h"

namespace {

// GetPrivateProfileStringA with a buffer far larger than any value here, and
// a default that no value of the test equals, so "missing" and "empty" differ.
constexpr DWORD kLargeBuffer = 64 * 1024;
const char* const kMissing = "<missing>";

std::string systemRead(const std::string& path, const char* section, const char* key)
{
    std::vector<char> buffer(kLargeBuffer);
    DWORD length = GetPrivateProfileStringA(section, key, kMissing, buffer.data(), kLargeBuffer, path.c_str());
    return std::string(buffer.data(), length);
}

// Names returned by GetPrivateProfileStringA with a null section or key: a
// list of strings, each ending in a NUL, ended by an empty one.
std::vector<std::string> systemNameList(const std::string& path, const char* section)
{
    std::vector<char> buffer(kLargeBuffer);
    DWORD length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), kLargeBuffer, path.c_str());
    std::vector<std::string> names;
    for (DWORD at = 0; at < length;) {
        std::string name(buffer.data() + at);
        if (name.empty()) break;
        at += static_cast<DWORD>(name.size()) + 1;
        names.push_back(name);
    }
    return names;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string shown(const std::string& text)
{
    if (text.size() > 60) return "(" + std::to_string(text.size()) + " chars) \"" + text.substr(0, 40) + "...\"";
    return "\"" + text + "\"";
}

struct Checker {
    std::string path;
    vistrel::settings::SettingsFile& ours;
    int failures = 0;

    void fail(const std::string& what)
    {
        std::printf("MISMATCH %s\n", what.c_str());
        ++failures;
    }

    // `expected` is the value as written by us, or, for the hand-edited
    // lines, what Windows documents for them (blanks and quotes dropped).
    void expect(const char* section, const char* key, const std::string& expected)
    {
        const std::string where = std::string("[") + section + "] " + key;
        std::string bySystem = systemRead(path, section, key);
        if (bySystem != expected)
            fail(where + ": GetPrivateProfileStringA gives " + shown(bySystem) + ", expected " + shown(expected));
        std::string byUs = ours.ReadSetting(section, key);
        // Our reader keeps long values whole and reads a missing key as "".
        std::string ourExpected = expected == kMissing ? std::string() : expected;
        if (byUs != ourExpected)
            fail(where + ": ReadSetting gives " + shown(byUs) + ", expected " + shown(ourExpected));
    }

    // The names Windows lists, compared without regard to letter case: a
    // section or key written twice in different case must exist only once.
    void expectNames(const char* section, std::vector<std::string> expected)
    {
        std::vector<std::string> listed = systemNameList(path, section);
        std::string where = section ? std::string("keys of [") + section + "]" : std::string("section names");
        std::string got, want;
        for (auto& name : listed) got += lowered(name) + " ";
        for (auto& name : expected) want += lowered(name) + " ";
        if (got != want) fail(where + ": listed { " + got + "}, expected { " + want + "}");
    }

    void expectCrlfLines()
    {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (!file) {
            fail("the settings file cannot be opened");
            return;
        }
        std::string bytes;
        char chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
        std::fclose(file);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bool bareLf = bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r');
            bool bareCr = bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n');
            if (bareLf || bareCr) {
                fail("line break at byte " + std::to_string(i) + " is not CR LF");
                return;
            }
        }
        if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
            fail("the last line does not end in CR LF");
    }
};

// A file as someone might have edited it: names in other letter case, blanks
// around names and values, quoted values, a comment, bare LF line ends.
bool writeHandEditedFile(const std::string& path)
{
    const char text[] =
        "; edited by hand\n"
        "[HandMade]\r\n"
        "note = kept as it was \n"
        "Padded=   blank ends   \r\n"
        "QUOTED=\"in quotes\"\r\n"
        "single='in single'\n"
        "[Alpha]\r\n"
        "extra=untouched\r\n"
        "Plain=to be replaced\r\n";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(text, 1, sizeof text - 1, file) == sizeof text - 1;
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: profile_check <ini path>\n");
        return 2;
    }
    const std::string path = argv[1];
    if (!writeHandEditedFile(path)) {
        std::printf("cannot write %s\n", path.c_str());
        return 2;
    }

    vistrel::platform::win32::Win32Platform platform;
    vistrel::settings::SettingsFile ours(platform, path);
    const std::string longValue = [] {
        std::string text;
        for (int i = 0; text.size() < 600; ++i) text += "segment" + std::to_string(i) + "/";
        return text.substr(0, 600);
    }();

    bool written = true;
    written &= ours.WriteSetting("alpha", "plain", "hello world");
    written &= ours.WriteSetting("alpha", "number", "42");
    written &= ours.WriteSetting("alpha", "padded", "   spaced out  ");
    written &= ours.WriteSetting("alpha", "equations", "a=b=c");
    written &= ours.WriteSetting("alpha", "semicolon", "x;y");
    written &= ours.WriteSetting("Beta Section", "double", "\"quoted text\"");
    written &= ours.WriteSetting("Beta Section", "single", "'single'");
    written &= ours.WriteSetting("Beta Section", "half", "\"open only");
    written &= ours.WriteSetting("Beta Section", "blanks in quotes", "\" kept \"");
    written &= ours.WriteSetting("Beta Section", "empty", "");
    written &= ours.WriteSetting("gamma", "long", longValue);
    written &= ours.WriteSetting("gamma", "MixedCase", "first");
    written &= ours.WriteSetting("GAMMA", "mixedCASE", "second");
    written &= ours.WriteSetting("doomed", "a", "1");
    written &= ours.WriteSetting("doomed", "b", "2");
    written &= ours.DeleteSettingsSection("DOOMED");

    // The settings dialog's save: the image list removed and written anew.
    written &= ours.WriteSetting("images", "0", "C:\\old\\0.jpg");
    written &= ours.WriteSetting("images", "5", "C:\\old\\5.jpg");
    auto save = ours.batch();
    save.deleteSection("images");
    save.write("images", "0", "C:\\pictures\\first.jpg");
    save.write("images", "1", "C:\\pictures\\second image.gif");
    save.write("total", "total", "2");
    written &= save.commit();
    if (!written) {
        std::printf("a write of the settings code reported failure\n");
        return 2;
    }

    Checker check{path, ours};
    check.expect("handmade", "note", "kept as it was");
    check.expect("HANDMADE", "padded", "blank ends");
    check.expect("handmade", "quoted", "in quotes");
    check.expect("handmade", "single", "in single");
    check.expect("alpha", "extra", "untouched");
    check.expect("alpha", "plain", "hello world");
    check.expect("ALPHA", "PLAIN", "hello world");
    check.expect("alpha", "number", "42");
    check.expect("alpha", "padded", "   spaced out  ");
    check.expect("alpha", "equations", "a=b=c");
    check.expect("alpha", "semicolon", "x;y");
    check.expect("Beta Section", "double", "\"quoted text\"");
    check.expect("beta section", "single", "'single'");
    check.expect("Beta Section", "half", "\"open only");
    check.expect("Beta Section", "blanks in quotes", "\" kept \"");
    check.expect("Beta Section", "empty", "");
    check.expect("Beta Section", "never written", kMissing);
    check.expect("gamma", "long", longValue);
    check.expect("gamma", "mixedcase", "second");
    check.expect("Gamma", "MIXEDCASE", "second");
    check.expect("doomed", "a", kMissing);
    check.expect("images", "0", "C:\\pictures\\first.jpg");
    check.expect("images", "1", "C:\\pictures\\second image.gif");
    check.expect("images", "5", kMissing);
    check.expect("total", "total", "2");

    check.expectNames(nullptr, {"handmade", "alpha", "Beta Section", "gamma", "images", "total"});
    check.expectNames("handmade", {"note", "padded", "quoted", "single"});
    check.expectNames("alpha", {"extra", "plain", "number", "padded", "equations", "semicolon"});
    check.expectNames("gamma", {"long", "mixedcase"});
    check.expectNames("images", {"0", "1"});
    check.expectCrlfLines();

    if (check.failures) {
        std::printf("%d mismatch(es) in %s\n", check.failures, path.c_str());
        return 1;
    }
    std::printf("all values read back as written\n");
    return 0;
}
