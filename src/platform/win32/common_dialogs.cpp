#include "platform/win32/common_dialogs.h"

#include <commdlg.h>
#include <shobjidl.h>

#include <cmath>
#include <cwchar>
#include <vector>

#include "platform/win32/com_ref.h"
#include "platform/win32/shell_text.h"
#include "platform/win32/wide_text.h"

namespace vistrel::platform::win32 {
namespace {

// Room for thousands of names chosen at once (Ctrl+A in a large folder);
// the dialog refuses a longer choice.
constexpr DWORD kFileNameCapacity = 1u << 20;

// Flags that promise a hook procedure or a dialog template, which a request
// cannot carry: passing them on would make the dialog fail or crash.
constexpr DWORD kFileHookFlags = OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE;
constexpr DWORD kFontHookFlags = CF_ENABLEHOOK | CF_ENABLETEMPLATE | CF_ENABLETEMPLATEHANDLE;

const wchar_t* orNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

std::optional<std::vector<std::string>> showFileOpenDialog(HWND owner, const FileOpenRequest& request) {
    const std::wstring filter = toWide(fileDialogFilter(request.filter));
    const std::wstring title = toWide(request.title);
    const std::wstring folder = toWide(request.initialFolder);
    std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = orNull(filter);
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = kFileNameCapacity;
    dialog.lpstrTitle = orNull(title);
    dialog.lpstrInitialDir = orNull(folder);
    dialog.Flags = request.flags & ~kFileHookFlags;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    std::vector<std::string> paths;
    for (const std::wstring& path : chosenPaths(fileName.data(), fileName.size())) paths.push_back(fromWide(path));
    if (paths.empty()) return std::nullopt;
    return paths;
}

std::optional<std::string> showFolderDialog(HWND owner, const std::string& title) {
    ComRef<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                dialog.putVoid()))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    const std::wstring wideTitle = toWide(title);
    if (!wideTitle.empty()) dialog->SetTitle(wideTitle.c_str());
    if (FAILED(dialog->Show(owner))) return std::nullopt;  // cancelled
    ComRef<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.put()))) return std::nullopt;
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
    std::string folder = fromWide(path);
    CoTaskMemFree(path);
    return folder;
}

std::optional<std::uint32_t> showColorDialog(HWND owner, std::uint32_t start, COLORREF (&customColors)[16]) {
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.rgbResult = start & 0x00FFFFFFu;
    dialog.lpCustColors = customColors;
    dialog.Flags = CC_RGBINIT;
    if (!ChooseColorW(&dialog)) return std::nullopt;
    return static_cast<std::uint32_t>(dialog.rgbResult);
}

std::optional<FontChoice> showFontDialog(HWND owner, const FontRequest& request, int dotsPerInchY) {
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(request.start.sizePoints * dotsPerInchY / 72.0));
    font.lfWeight = request.start.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = request.start.italic;
    font.lfUnderline = request.start.underline;
    font.lfStrikeOut = request.start.strikethrough;
    font.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = toWide(request.start.name);
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);

    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpLogFont = &font;
    dialog.rgbColors = request.start.color & 0x00FFFFFFu;
    // Colour, underline and strikeout are offered (CF_EFFECTS). There is no
    // printer context, so the list holds the screen fonts.
    DWORD flags = (request.flags & ~kFontHookFlags & ~static_cast<DWORD>(CF_PRINTERFONTS)) | CF_SCREENFONTS |
                  CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    if (request.minSize > 0 || request.maxSize > 0) {
        flags |= CF_LIMITSIZE;
        dialog.nSizeMin = request.minSize > 0 ? request.minSize : 1;
        dialog.nSizeMax = request.maxSize > 0 ? request.maxSize : 0x7FFF;
    }
    dialog.Flags = flags;
    if (!ChooseFontW(&dialog)) return std::nullopt;

    FontChoice choice;
    choice.name = fromWide(font.lfFaceName);
    choice.sizePoints = dialog.iPointSize / 10.0;
    choice.bold = font.lfWeight >= FW_SEMIBOLD;
    choice.italic = font.lfItalic != 0;
    choice.underline = font.lfUnderline != 0;
    choice.strikethrough = font.lfStrikeOut != 0;
    choice.color = static_cast<std::uint32_t>(dialog.rgbColors);
    return choice;
}

}  // namespace vistrel::platform::win32
