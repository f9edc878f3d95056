// Looks at the windows of a running vistrel.scr from outside, as the
// end-to-end tests need: one JSON object per line.
//
//   inspect_windows.exe tree    the settings dialog (the shown top-level
//                               window of class Vistrel.Window that no
//                               window of that class owns) and every
//                               window inside it
//   inspect_windows.exe boxes   the other shown top-level windows of the
//                               same process (message boxes, common
//                               dialogs, a tool tip, the page of more
//                               options), each with the windows inside it
//   inspect_windows.exe close   asks the dialog to close, as its close box does
//
// Each window: handle, parent handle, class, text, place and size within the
// parent's client area and on the screen, enabled, visible; and what its
// class holds: the check state of a button, the items and selection of a
// list or combo box, the position of a slider or scroll bar, the panel
// texts of a status bar. The first line of "tree" is the dialog itself with
// the handle of the control that has the keyboard focus and of its owner.
//
// Exit code 0: printed; 1: no such window; 2: bad arguments.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length, nullptr, nullptr);
    return out;
}

std::string json(const std::wstring& text) {
    std::string out = "\"";
    for (char c : utf8(text)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string number(long long value) { return std::to_string(value); }

// Memory inside the inspected process, for messages that return text
// through a pointer (the system copies those only for a few messages).
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t bytes) : bytes_(bytes) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    LPARAM pointer() const { return reinterpret_cast<LPARAM>(address_); }
    std::vector<char> read() const {
        std::vector<char> data(bytes_);
        SIZE_T got = 0;
        if (address_) ReadProcessMemory(process_, address_, data.data(), bytes_, &got);
        data.resize(got);
        return data;
    }
    std::wstring readText() const {
        std::vector<char> data = read();
        data.resize(data.size() / 2 * 2);
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        return text.substr(0, text.find(L'\0'));
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    std::size_t bytes_;
};

std::wstring className(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring windowText(HWND window) {
    // The program may change the text between the two messages (each is
    // answered when its thread next takes messages): a text that fills the
    // buffer is read again at its new length, so "2000" is never read as
    // the "2" that fits the length of the "0" before it.
    std::wstring text;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
        text.assign(static_cast<std::size_t>(length) + 2, L'\0');
        const auto copied = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied));
        if (static_cast<std::size_t>(copied) <= static_cast<std::size_t>(length)) break;
    }
    return text;
}

// The system copies the text of list and combo box items across processes itself.
std::wstring listItemText(HWND window, UINT lengthMessage, UINT textMessage, int index) {
    const auto length = SendMessageW(window, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(window, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return text.substr(0, text.find(L'\0'));
}

std::wstring itemText(HWND window, UINT lengthMessage, UINT textMessage, int index) {
    const auto length = SendMessageW(window, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    RemoteBuffer buffer(window, (static_cast<std::size_t>(length) + 1) * sizeof(wchar_t));
    if (!buffer.ok()) return {};
    SendMessageW(window, textMessage, static_cast<WPARAM>(index), buffer.pointer());
    return buffer.readText();
}

std::string listFields(HWND window, bool combo) {
    const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT selection = combo ? CB_GETCURSEL : LB_GETCURSEL;
    const UINT length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT text = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const auto items = static_cast<int>(SendMessageW(window, count, 0, 0));
    std::string out = ", \"selected\": " + number(SendMessageW(window, selection, 0, 0)) + ", \"count\": " +
                      number(items) + ", \"items\": [";
    // Enough to check a list; a list of thousands is told by its count.
    const int shown = items < 50 ? items : 50;
    for (int i = 0; i < shown; ++i) out += (i ? ", " : "") + json(listItemText(window, length, text, i));
    return out + "]";
}

std::string statusFields(HWND window) {
    const auto parts = static_cast<int>(SendMessageW(window, SB_GETPARTS, 0, 0));
    RemoteBuffer edges(window, sizeof(int) * 16);
    std::vector<int> rightEdges;
    if (edges.ok()) {
        SendMessageW(window, SB_GETPARTS, 16, edges.pointer());
        const std::vector<char> data = edges.read();
        for (int i = 0; i < parts && static_cast<std::size_t>(i + 1) * sizeof(int) <= data.size(); ++i) {
            rightEdges.push_back(reinterpret_cast<const int*>(data.data())[i]);
        }
    }
    std::string out = ", \"panels\": [";
    for (int i = 0; i < parts; ++i) {
        out += (i ? ", " : "") + json(itemText(window, SB_GETTEXTLENGTHW, SB_GETTEXTW, i));
    }
    out += "], \"panelEdges\": [";
    for (std::size_t i = 0; i < rightEdges.size(); ++i) out += (i ? ", " : "") + number(rightEdges[i]);
    return out + "]";
}

bool sameName(const std::wstring& a, const wchar_t* b) { return lstrcmpiW(a.c_str(), b) == 0; }

std::string classFields(HWND window) {
    const std::wstring kind = className(window);
    if (sameName(kind, L"Button")) {
        const LONG style = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
        return ", \"buttonStyle\": " + number(style) + ", \"checked\": " +
               number(SendMessageW(window, BM_GETCHECK, 0, 0));
    }
    if (sameName(kind, L"ListBox")) return listFields(window, false);
    if (sameName(kind, L"ComboBox")) {
        const LONG style = GetWindowLongW(window, GWL_STYLE) & 3;
        return ", \"comboStyle\": " + number(style) + listFields(window, true);
    }
    if (sameName(kind, L"ScrollBar")) {
        int low = 0, high = 0;
        GetScrollRange(window, SB_CTL, &low, &high);
        return ", \"position\": " + number(GetScrollPos(window, SB_CTL)) + ", \"range\": [" + number(low) + ", " +
               number(high) + "]";
    }
    if (sameName(kind, L"msctls_trackbar32")) {
        return ", \"position\": " + number(SendMessageW(window, TBM_GETPOS, 0, 0)) + ", \"range\": [" +
               number(SendMessageW(window, TBM_GETRANGEMIN, 0, 0)) + ", " +
               number(SendMessageW(window, TBM_GETRANGEMAX, 0, 0)) + "]";
    }
    if (sameName(kind, L"msctls_statusbar32")) return statusFields(window);
    if (sameName(kind, L"Edit")) {
        return ", \"password\": " + number(SendMessageW(window, EM_GETPASSWORDCHAR, 0, 0));
    }
    return {};
}

void printWindow(HWND window, const std::string& extra = {}) {
    RECT screen{};
    GetWindowRect(window, &screen);
    HWND parent = GetAncestor(window, GA_PARENT);
    POINT origin{screen.left, screen.top};
    if (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ScreenToClient(parent, &origin);
    std::printf("{\"hwnd\": %s, \"parent\": %s, \"class\": %s, \"text\": %s, \"x\": %ld, \"y\": %ld, \"w\": %ld, "
                "\"h\": %ld, \"sx\": %ld, \"sy\": %ld, \"enabled\": %s, \"visible\": %s%s%s}\n",
                number(reinterpret_cast<LONG_PTR>(window)).c_str(),
                number(reinterpret_cast<LONG_PTR>(parent)).c_str(), json(className(window)).c_str(),
                json(windowText(window)).c_str(), origin.x, origin.y, screen.right - screen.left,
                screen.bottom - screen.top, screen.left, screen.top, IsWindowEnabled(window) ? "true" : "false",
                IsWindowVisible(window) ? "true" : "false", classFields(window).c_str(), extra.c_str());
}

BOOL CALLBACK printChild(HWND window, LPARAM) {
    printWindow(window);
    return TRUE;
}

struct Search {
    HWND dialog = nullptr;
    DWORD processId = 0;
    std::vector<HWND> others;
};

BOOL CALLBACK findDialog(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    // A page the dialog owns (its more options) is one of the others.
    const HWND owner = GetWindow(window, GW_OWNER);
    const bool ownedByTheProgram = owner && className(owner) == L"Vistrel.Window";
    if (IsWindowVisible(window) && className(window) == L"Vistrel.Window" && !ownedByTheProgram) {
        search.dialog = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK findOthers(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (window != search.dialog && processId == search.processId && IsWindowVisible(window)) {
        search.others.push_back(window);
    }
    return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    const std::wstring command = argv[1];
    Search search;
    EnumWindows(&findDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.dialog) return 1;
    const DWORD thread = GetWindowThreadProcessId(search.dialog, &search.processId);

    if (command == L"tree") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(thread, &info);
        printWindow(search.dialog, ", \"focus\": " + number(reinterpret_cast<LONG_PTR>(info.hwndFocus)) +
                                       ", \"owner\": " +
                                       number(reinterpret_cast<LONG_PTR>(GetWindow(search.dialog, GW_OWNER))));
        EnumChildWindows(search.dialog, &printChild, 0);
    } else if (command == L"boxes") {
        EnumWindows(&findOthers, reinterpret_cast<LPARAM>(&search));
        for (HWND other : search.others) {
            printWindow(other);
            EnumChildWindows(other, &printChild, 0);
        }
    } else if (command == L"close") {
        PostMessageW(search.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
