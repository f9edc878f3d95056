// Text rules of the Windows shell that the backend applies: the command line
// after the program's path, the folder part of a module path, and the
// NUL-separated filter list of the file-open dialog.
//
// Pure functions without a Windows dependency, so they are unit-tested on
// every platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::platform::win32 {

// The command line after the program's own path, with the blanks that follow
// it removed. The path is quoted when it holds blanks ("C:\My Savers\v.scr"
// /s); otherwise it ends at the first blank. An unclosed quote leaves nothing.
inline std::u16string_view commandTail(std::u16string_view commandLine) {
    std::size_t at = 0;
    if (!commandLine.empty() && commandLine[0] == u'"') {
        const std::size_t close = commandLine.find(u'"', 1);
        if (close == std::u16string_view::npos) return {};
        at = close + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != u' ' && commandLine[at] != u'\t') ++at;
    }
    while (at < commandLine.size() && (commandLine[at] == u' ' || commandLine[at] == u'\t')) ++at;
    return commandLine.substr(at);
}

// The folder that holds `path` (a program file's full path), without the
// file name. A drive root keeps its backslash ("C:\"), since "C:" alone
// names the current folder of that drive; any other folder has none.
inline std::string folderOfPath(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos) return {};
    std::string folder(path.substr(0, slash));
    if (folder.empty() || folder.back() == ':') folder.push_back('\\');
    return folder;
}

// "Pictures|*.gif;*.jpg|All files|*.*" (the runtime's filter text) as the
// dialog wants it: description and pattern strings each ended by a NUL, the
// list ended by one more NUL. The result holds those NULs itself, so it
// stays right when copied into a wide string. An empty filter stays empty
// (the dialog then shows every file).
inline std::string fileDialogFilter(std::string_view filter) {
    if (filter.empty()) return {};
    std::string list(filter);
    if (list.back() == '|') list.pop_back();  // a closing bar ends the list as well
    for (char& c : list) {
        if (c == '|') c = '\0';
    }
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

// The full paths in what the file dialog gives back with
// OFN_ALLOWMULTISELECT and OFN_EXPLORER: one full path, or the folder
// followed by the names of the files chosen in it, each ended by a NUL and
// the whole by a second NUL. Reads no further than `capacity` characters.
template <typename Char>
std::vector<std::basic_string<Char>> chosenPaths(const Char* buffer, std::size_t capacity) {
    std::vector<std::basic_string<Char>> parts;
    std::size_t at = 0;
    while (at < capacity && buffer[at] != Char(0)) {
        std::size_t end = at;
        while (end < capacity && buffer[end] != Char(0)) ++end;
        parts.emplace_back(buffer + at, end - at);
        at = end + 1;
    }
    if (parts.size() <= 1) return parts;
    // A drive root ("C:\") keeps its one backslash.
    std::basic_string<Char> folder = parts.front();
    if (folder.back() != Char('\\')) folder.push_back(Char('\\'));
    std::vector<std::basic_string<Char>> paths;
    for (std::size_t i = 1; i < parts.size(); ++i) paths.push_back(folder + parts[i]);
    return paths;
}

}  // namespace vistrel::platform::win32
