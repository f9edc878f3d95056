// The seam between the portable program and the operating system.
//
// Everything outside src/platform talks to the system only through this
// interface, so the same code runs on Windows (win32 backend) and under the
// unit tests (headless backend). Window-system calls keep the names and the
// argument order of the Win32 functions they stand for, so a recorded call
// reads like the real one. Text is UTF-8 throughout; the win32 backend
// converts at the boundary and uses the wide-character API.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/monitors.h"
#include "picture/picture.h"
#include "picture/picture_structure.h"
#include "platform/units.h"

namespace vistrel::ui {
class Control;
class ControlPeer;
}  // namespace vistrel::ui

namespace vistrel::platform {

// An HWND or HDC as an opaque number (0 = none).
using Handle = std::uintptr_t;

// SetWindowPos
inline constexpr std::intptr_t HWND_TOPMOST = -1;
inline constexpr std::intptr_t HWND_NOTOPMOST = -2;
inline constexpr unsigned SWP_NOACTIVATE = 0x0010;
inline constexpr unsigned SWP_SHOWWINDOW = 0x0040;
// BitBlt
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;
// SetStretchBltMode
inline constexpr int STRETCH_DELETESCANS = 3;  // COLORONCOLOR: rows and columns dropped
inline constexpr int STRETCH_HALFTONE = 4;     // HALFTONE: the pixels taken together are averaged
// SystemParametersInfoA
inline constexpr unsigned SPI_SETSCREENSAVERRUNNING = 97;
// GetVersionExA
inline constexpr std::int32_t VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr std::int32_t VER_PLATFORM_WIN32_NT = 2;
inline constexpr std::uint32_t OSVERSIONINFOA_SIZE = 148;

// The fields of OSVERSIONINFOA the program uses. The caller sets `size`
// before the call, as the real API demands.
struct OsVersionInfo {
    std::uint32_t size = 0;
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::int32_t platformId = 0;
};

enum class FileStatus { Ok, Missing, Failed };

struct FileContent {
    FileStatus status = FileStatus::Missing;
    std::string bytes;  // when Ok
};

enum class PathKind { Missing, File, Folder };

// One entry of a folder: a file or a subfolder, by its name alone.
struct FolderEntry {
    std::string name;
    bool isFolder = false;
};

// What a picture file's header says, read without reading the rest of it.
struct PictureFileHeader {
    FileStatus status = FileStatus::Missing;
    picture::PictureHeader header;  // when Ok
};

struct ScreenMetrics {
    int widthPixels = 0;
    int heightPixels = 0;
    // 1440 / dots per inch: 15 at 96 DPI, 12 at 120, 7.5 at 192 (200 %).
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    int widthTwips() const { return pixelsToTwips(widthPixels, twipsPerPixelX); }
    int heightTwips() const { return pixelsToTwips(heightPixels, twipsPerPixelY); }
};

enum class MessageBoxButtons { Ok, YesNo };
enum class MessageBoxAnswer { Ok, Yes, No };

struct FileOpenRequest {
    std::string title;
    std::string filter;  // "Text|*.a;*.b|Other|*.c", as the runtime's filter text
    std::uint32_t flags = 0;
    std::string initialFolder;
};

struct FontChoice {
    std::string name;
    double sizePoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    std::uint32_t color = 0;  // RGB, red in the low byte
};

struct FontRequest {
    FontChoice start;
    int minSize = 0;
    int maxSize = 0;
    std::uint32_t flags = 0;
};

// A picture asked of the platform's picture worker (loadPictureInBackground).
// Dropping the job cancels it without waiting for anything: a job still in
// the queue never starts, and one being decoded is let go of when its decode
// ends, its `ready` never called.
class PictureJob {
public:
    virtual ~PictureJob() = default;
    // Whether the loading has finished (either way); a pure query.
    virtual bool ready() = 0;
    // The picture or the failure, once ready; only once.
    virtual picture::PictureResult take() = 0;
};

// Work running on a thread of its own (Platform::startBackgroundWork).
class BackgroundWork {
public:
    // The work stops after the step it is in, and its `progressed` is not
    // called again. May be dropped from inside `progressed`.
    virtual ~BackgroundWork() = default;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- process services ---
    // The command line after the program's own path.
    virtual std::string commandLine() = 0;
    // Claims the system-wide single-instance token; false when another
    // instance of the program already holds it.
    virtual bool claimSingleInstance() = 0;
    // The folder that holds the program file, as the system reports it
    // (a drive root keeps its trailing backslash).
    virtual std::string programFolder() = 0;
    // The primary monitor's size, and the twips per pixel of the program's
    // windows (those of the primary monitor).
    virtual ScreenMetrics screen() = 0;
    // Every monitor, the primary first.
    virtual std::vector<Monitor> monitors() = 0;
    // The rectangle round all monitors; the primary's when the system
    // names none.
    PixelBounds virtualScreen() {
        const PixelBounds all = virtualScreenOf(monitors());
        if (all.width > 0 && all.height > 0) return all;
        const ScreenMetrics primary = screen();
        return {0, 0, primary.widthPixels, primary.heightPixels};
    }
    // Seconds since midnight, with fraction.
    virtual double timeOfDaySeconds() = 0;
    // The day written in the user's long date format ("Sunday, July 14,
    // 2024" for English (United States)): GetDateFormatEx with
    // DATE_LONGDATE in the user's locale. Empty when the system cannot.
    virtual std::string longDate(const picture::CalendarDate& date) = 0;
    // Ends the program at once: no window is closed, no handler runs.
    [[noreturn]] virtual void endProgram() = 0;
    // Processes all pending events (timer ticks, input) and returns.
    virtual void doEvents() = 0;
    // Milliseconds on a clock that only goes forward (not the time of day).
    virtual std::int64_t monotonicMs() = 0;
    // Waits without processing any event: no input and no timer tick runs
    // meanwhile. What was drawn before is on the screen while it waits.
    virtual void pauseWithoutEvents(int milliseconds) = 0;

    // --- files ---
    // The whole file. A file larger than `maxBytes` is not read and counts
    // as Failed, so garbage of any size cannot exhaust memory.
    virtual FileContent readFile(const std::string& path, std::size_t maxBytes) = 0;
    // Replaces the file with `bytes` in one step: afterwards the file holds
    // either its old or its new content, never a mixture. False on failure.
    virtual bool replaceFile(const std::string& path, std::string_view bytes) = 0;
    // Why the last readFile or replaceFile that failed did, in words for the
    // user ("Access is denied."); empty when the system gave no reason.
    virtual std::string lastFileError() { return {}; }
    // True when the last replaceFile or createFolder that failed did for
    // lack of rights (access denied, a read-only file, a write-protected
    // disk): somewhere else the user may write, it could succeed.
    virtual bool lastFileErrorIsDenied() { return false; }
    // Creates the folder in its existing parent; true also when it is there
    // already. On failure lastFileError and lastFileErrorIsDenied say why.
    virtual bool createFolder(const std::string& path) = 0;
    // The user's own application-data folder (%APPDATA%, roaming), without
    // a trailing backslash; empty when the system names none.
    virtual std::string userDataFolder() = 0;
    virtual PathKind pathKind(const std::string& path) = 0;
    // The files and subfolders of `folder`, in no particular order; nothing
    // for a folder that cannot be read. Links to other folders (junctions)
    // are left out, so a walk down the tree always ends.
    virtual std::vector<FolderEntry> listFolder(const std::string& folder) = 0;
    // Reads only the few bytes the header reader asks for, never the whole
    // file: checking thousands of large photos stays quick.
    virtual PictureFileHeader readPictureFileHeader(const std::string& path) = 0;
    // The extensions of the picture files the system's decoders take, lower
    // case with their dot (".jpg"), in no particular order.
    virtual std::vector<std::string> pictureFileExtensions() = 0;
    // Runs `step` on a thread of its own, again and again until it returns
    // false. After steps, `progressed` runs on the user-interface thread as
    // an event (after the last step too); several steps may come to one
    // call. The step must own what it uses: it may still be in its last
    // step after the work is dropped.
    virtual std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> step,
                                                                std::function<void()> progressed) = 0;
    // Converts text in the system's 8-bit (ANSI) code page to UTF-8.
    virtual std::string ansiToUtf8(std::string_view bytes) = 0;

    // --- window system and graphics (Win32 names and arguments) ---
    virtual void setWindowPos(Handle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                              unsigned flags) = 0;
    virtual void setCursorPos(int x, int y) = 0;
    virtual Handle getDesktopWindow() = 0;
    // Whether the handle names a window (of any program) now.
    virtual bool isWindow(Handle window) = 0;
    // The size of the window's client area in pixels (left and top are 0);
    // false when the handle names no window.
    virtual bool getClientRect(Handle window, PixelBounds& client) = 0;
    virtual Handle getDC(Handle window) = 0;
    virtual int releaseDC(Handle window, Handle dc) = 0;
    virtual bool bitBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX,
                        int srcY, std::uint32_t rop) = 0;
    virtual bool systemParametersInfo(unsigned action, unsigned param, std::uint32_t* value,
                                      unsigned winIni) = 0;
    // How stretchBlt reduces into `dc`; returns the previous mode (0 on failure).
    virtual int setStretchBltMode(Handle dc, int mode) = 0;
    virtual bool stretchBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX, int srcY,
                            int srcWidth, int srcHeight, std::uint32_t rop) = 0;
    virtual bool getVersionEx(OsVersionInfo& info) = 0;
    // The RGB value (red in the low byte) of a colour as the controls hold
    // it: a system colour (top bit set, its index below) by the scheme in
    // force, any other as it is.
    virtual std::uint32_t colorValue(std::uint32_t color) = 0;
    // Keeps the task-switching keys (Alt+Tab, Alt+Esc, Ctrl+Esc, the Windows
    // keys) from reaching the system while `block` is on, so that a password
    // prompt cannot be stepped around; false lets them through again.
    virtual void blockTaskSwitchKeys(bool block) = 0;

    // --- user-interface runtime ---
    // Modal box with an exclamation icon; an empty title gives the
    // application title.
    virtual MessageBoxAnswer messageBox(const std::string& text, const std::string& title,
                                        MessageBoxButtons buttons) = 0;
    // At its own size, transparent parts black; for small pictures kept in
    // the program (the stored preview picture).
    virtual picture::PictureResult decodePicture(std::span<const std::uint8_t> bytes) = 0;
    // The picture in the file, fitted to the request's space and upright,
    // loaded by the platform's one picture worker: a thread that lives as
    // long as the program, keeps one decoder and decodes one picture at a
    // time, in the order they were asked for. Returns at once; the
    // user-interface thread never decodes a file. `ready`, unless empty, runs
    // on the user-interface thread as an event once the job is ready.
    virtual std::unique_ptr<PictureJob> loadPictureInBackground(const std::string& path,
                                                                const picture::PictureRequest& request,
                                                                std::function<void()> ready) = 0;
    // Common dialogs; nothing when the user cancels. The file dialog gives
    // the full path of each chosen file, in the order it returns them (one
    // path unless the request's flags allow several).
    virtual std::optional<std::vector<std::string>> chooseFiles(const FileOpenRequest& request) = 0;
    // The folder chooser; the chosen folder's full path, nothing when the
    // user cancels.
    virtual std::optional<std::string> chooseFolder(const std::string& title) = 0;
    virtual std::optional<std::uint32_t> chooseColor(std::uint32_t start) = 0;
    virtual std::optional<FontChoice> chooseFont(const FontRequest& request) = 0;

    // Creates the backend's counterpart of a control of the portable model.
    // Called when the control's window is loaded, parents before children.
    virtual std::unique_ptr<ui::ControlPeer> createPeer(ui::Control& control) = 0;
};

inline constexpr const char* kApplicationTitle = "Vistrel Screen Saver";

}  // namespace vistrel::platform
