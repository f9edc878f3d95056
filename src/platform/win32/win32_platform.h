// The platform on real Windows: user32, gdi32, kernel32, the common dialogs
// and the Windows Imaging Component, with the wide-character API throughout.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/portable_interface.h"
#include "platform/win32/task_switch_hook.h"

namespace vistrel::platform::win32 {

class PictureWorker;
class SurfacePeer;
class TimerPeer;
class WicPictureLoader;
struct WorkShared;

class Win32Platform final : public Platform {
public:
    // Expects COM to be initialised on this thread (the picture loader uses
    // it); initialises it itself otherwise.
    Win32Platform();
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    // Dispatches messages for as long as a window of the program is loaded.
    // Returns at once when none is.
    int runEventLoop();

    // --- Platform ---
    std::string commandLine() override;
    bool claimSingleInstance() override;
    std::string programFolder() override;
    ScreenMetrics screen() override;
    std::vector<Monitor> monitors() override;
    double timeOfDaySeconds() override;
    std::string longDate(const picture::CalendarDate& date) override;
    [[noreturn]] void endProgram() override;
    void doEvents() override;
    std::int64_t monotonicMs() override;
    void pauseWithoutEvents(int milliseconds) override;
    FileContent readFile(const std::string& path, std::size_t maxBytes) override;
    bool replaceFile(const std::string& path, std::string_view bytes) override;
    std::string lastFileError() override { return lastFileError_; }
    bool lastFileErrorIsDenied() override { return lastFileErrorDenied_; }
    bool createFolder(const std::string& path) override;
    std::string userDataFolder() override;
    PathKind pathKind(const std::string& path) override;
    std::vector<FolderEntry> listFolder(const std::string& folder) override;
    PictureFileHeader readPictureFileHeader(const std::string& path) override;
    std::vector<std::string> pictureFileExtensions() override;
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> step,
                                                        std::function<void()> progressed) override;
    std::string ansiToUtf8(std::string_view bytes) override;
    void setWindowPos(Handle window, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    void setCursorPos(int x, int y) override;
    Handle getDesktopWindow() override;
    bool isWindow(Handle window) override;
    bool getClientRect(Handle window, PixelBounds& client) override;
    Handle getDC(Handle window) override;
    int releaseDC(Handle window, Handle dc) override;
    bool bitBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX, int srcY,
                std::uint32_t rop) override;
    bool systemParametersInfo(unsigned action, unsigned param, std::uint32_t* value,
                              unsigned winIni) override;
    int setStretchBltMode(Handle dc, int mode) override;
    bool stretchBlt(Handle destDC, int x, int y, int width, int height, Handle srcDC, int srcX, int srcY,
                    int srcWidth, int srcHeight, std::uint32_t rop) override;
    bool getVersionEx(OsVersionInfo& info) override;
    std::uint32_t colorValue(std::uint32_t color) override;
    void blockTaskSwitchKeys(bool block) override;
    MessageBoxAnswer messageBox(const std::string& text, const std::string& title,
                                MessageBoxButtons buttons) override;
    picture::PictureResult decodePicture(std::span<const std::uint8_t> bytes) override;
    std::unique_ptr<PictureJob> loadPictureInBackground(const std::string& path,
                                                        const picture::PictureRequest& request,
                                                        std::function<void()> ready) override;
    std::optional<std::vector<std::string>> chooseFiles(const FileOpenRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t start) override;
    std::optional<FontChoice> chooseFont(const FontRequest& request) override;
    std::unique_ptr<ui::ControlPeer> createPeer(ui::Control& control) override;

    // --- for the peers ---
    HINSTANCE instance() const { return instance_; }
    double twipsPerPixelX() const { return twipsPerPixelX_; }
    double twipsPerPixelY() const { return twipsPerPixelY_; }
    int dotsPerInchY() const { return dotsPerInchY_; }
    HFONT textBoxFont() const { return textBoxFont_; }
    // Loaded windows keep the event loop running.
    void windowLoaded() { ++loadedWindows_; }
    void windowUnloaded() { --loadedWindows_; }
    // Backing images that bitBlt draws into show on screen at once.
    void addSurface(HDC dc, SurfacePeer& peer) { surfaces_[dc] = &peer; }
    void removeSurface(HDC dc) { surfaces_.erase(dc); }
    // Timers tick on the platform's hidden message window.
    HWND timerWindow() const { return timerWindow_; }
    UINT_PTR addTimer(TimerPeer& peer);
    void removeTimer(UINT_PTR id) { timers_.erase(id); }

private:
    std::unique_ptr<ui::ControlPeer> createKindPeer(ui::Control& control);
    static LRESULT CALLBACK timerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void workProgressed(UINT_PTR id);

    HINSTANCE instance_;
    bool comInitialised_ = false;
    HANDLE instanceMutex_ = nullptr;
    double twipsPerPixelX_ = 15;
    double twipsPerPixelY_ = 15;
    int dotsPerInchY_ = 96;
    HFONT textBoxFont_ = nullptr;
    HWND timerWindow_ = nullptr;
    int loadedWindows_ = 0;
    LARGE_INTEGER counterFrequency_{};
    std::string lastFileError_;
    bool lastFileErrorDenied_ = false;
    UINT_PTR nextTimerId_ = 1;
    std::map<HDC, SurfacePeer*> surfaces_;
    std::map<UINT_PTR, TimerPeer*> timers_;
    struct Work {
        std::shared_ptr<WorkShared> shared;
        std::function<void()> progressed;
    };
    std::map<UINT_PTR, Work> works_;
    UINT_PTR nextWorkId_ = 1;
    std::optional<std::vector<std::string>> pictureExtensions_;
    COLORREF customColors_[16] = {};
    // On this thread: the stored preview picture and the list of formats.
    std::unique_ptr<WicPictureLoader> pictures_;
    // Every picture file, off this thread.
    std::unique_ptr<PictureWorker> pictureWorker_;
    TaskSwitchHook taskSwitchHook_;
};

}  // namespace vistrel::platform::win32
