// The headless backend: the whole platform in memory, for tests.
//
// - A virtual clock: timers fire only as the test advances time, in due
//   order; an event yield (doEvents) advances the clock by one millisecond.
// - Surfaces are pixel buffers (the desktop, host windows, the persistent
//   images of windows and picture boxes) that a test can read and fill.
// - Every platform call that acts on the system and every property a peer
//   mirrors is recorded as one line of text, with handles shown by name
//   (an unknown handle as its number, no handle as 0):
//     "SetWindowPos(Form1, HWND_TOPMOST, 0, 0, 1024, 768, 0x50)"
//     "GetDC(Desktop) -> hdc:Desktop"
//     "Form1.BackColor = 255"    "Label1.FontBold = True"
//     "Load(Form1)"    "Unload(Form1)"    (children load silently)
//     "DoEvents() x200"    (a run of event yields makes one line)
//     "Pause(16)"    (a wait without events)
//   Pure queries (command line, program folder, user-data folder, screen,
//   time of day, the instance claim, ansiToUtf8, decodePicture, colorValue)
//   are not recorded. Text
//   values are escaped so that a line never breaks: CR LF shows as \r\n.
// - Message boxes and common dialogs are answered from a script the test
//   gives; an unanswered box fails the test loudly.
// - Input comes from the test as the system would deliver it: a key press
//   goes to the control with the keyboard focus as KeyDown, then KeyPress
//   for a character, which a text box then takes as typed; mouse presses
//   and moves go to the control the test names, at a pixel position inside
//   it; a close request goes to a window. Showing a window activates it and
//   puts the focus back where it was, or on its first text box by tab
//   index, or on the window itself; hiding the active window activates the
//   one active before it.
// - endProgram() unwinds with ProgramEnded to the test's entry point (run(),
//   advance()); the test process lives on and programEnded() says so.
// - Files live in an in-memory file system; paths compare without regard
//   to letter case, with "/" and "\" alike. A folder is there when a file
//   lies in it or below it, when the program created it, or when it is the
//   program's folder or the user-data folder. Replacing a file needs its
//   folder to be there, and to be writable.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog_controls.h"
#include "platform/platform.h"

namespace vistrel::platform::headless {

struct ProgramEnded {};
struct Target;

struct Surface {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xAARRGGBB, opaque; see colorToPixel

    Surface() = default;
    Surface(int w, int h, std::uint32_t pixel = 0);
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, std::uint32_t pixel) { pixels[static_cast<std::size_t>(y) * width + x] = pixel; }
    void fill(std::uint32_t pixel);
};

// Surfaces hold pixels in the layout of picture::Picture (0xAARRGGBB).
// Colours of the model are RGB with red in the low byte; these convert.
std::uint32_t colorToPixel(ui::Color color);
ui::Color pixelToColor(std::uint32_t pixel);

struct MessageBoxRecord {
    std::string text;
    std::string title;  // as shown: the application title when none was given
    MessageBoxButtons buttons;
};

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();
    ~HeadlessPlatform() override;

    // --- set-up by the test ---
    void setCommandLine(std::string text) { commandLine_ = std::move(text); }
    // One monitor of this size at (0, 0); also resizes the desktop surface.
    void setScreen(ScreenMetrics metrics);
    // Any arrangement of monitors, the primary first (its top-left corner
    // at (0, 0)). The screen metrics become the primary's, with the twips
    // per pixel of its dots per inch; the desktop surface covers the
    // virtual screen round them all.
    void setMonitors(std::vector<Monitor> monitors);
    void setProgramFolder(std::string folder) { programFolder_ = std::move(folder); }
    // The user's application-data folder (%APPDATA%); empty for none.
    void setUserDataFolder(std::string folder) { userDataFolder_ = std::move(folder); }
    void setOtherInstanceRunning(bool running) { otherInstance_ = running; }
    void setPlatformId(std::int32_t id) { platformId_ = id; }
    void setVersionReadable(bool readable) { versionReadable_ = readable; }
    void setTimeOfDay(double seconds);  // moves the virtual clock's origin
    // Changes a colour of the system's scheme (a high-contrast one); the
    // classic scheme's colours hold otherwise.
    void setSystemColor(int index, ui::Color color);

    // --- in-memory files ---
    void putFile(const std::string& path, std::string bytes);
    // Copies a real file of the test machine into the in-memory system.
    bool putFileFromDisk(const std::string& path, const std::string& hostPath);
    std::optional<std::string> file(const std::string& path) const;
    void removeFile(const std::string& path);
    // An empty folder (a folder that holds a file exists without this).
    void putFolder(const std::string& path);
    // How long reading one file's header takes on the virtual clock (none
    // by default): for tests of an add that takes a while.
    void setHeaderReadCost(std::int64_t milliseconds) { headerReadCostMs_ = milliseconds; }
    // How long listing a folder takes on the virtual clock: one folder (a
    // slow network share), and every folder by the entries it lists. On a
    // thread of the program's background work it holds up only that work.
    void setFolderListCost(const std::string& folder, std::int64_t milliseconds);
    void setListCostPerEntry(double milliseconds) { listCostPerEntryMs_ = milliseconds; }
    // The extensions pictureFileExtensions gives (gdk-pixbuf's by default).
    void setPictureFileExtensions(std::vector<std::string> extensions) { extensions_ = std::move(extensions); }
    // Reads of a locked file fail, and so does replacing it.
    void setFileLocked(const std::string& path, bool locked);
    // How long decoding a picture takes on the virtual clock: for one file,
    // or for every file by its megapixels. Timers that come due meanwhile
    // tick when events are next processed. None by default.
    void setDecodeCost(const std::string& path, std::int64_t milliseconds);
    void setDecodeCostPerMegapixel(double milliseconds) { decodeCostPerMegapixelMs_ = milliseconds; }
    // When false, every replaceFile and createFolder fails, for lack of
    // rights (a write-protected disk).
    void setWritable(bool writable) { writable_ = writable; }
    // When false, no file in `folder` (directly) can be created or replaced
    // and no folder made in it, for lack of rights (System32 or Program
    // Files to a user); what is there can still be read.
    void setFolderWritable(const std::string& folder, bool writable);
    bool folderExists(const std::string& folder) const;
    // When true, every drawing of a picture onto a picture box fails, as
    // when the system runs out of graphics resources.
    void setDrawingFails(bool fails) { drawingFails_ = fails; }
    bool drawingFails() const { return drawingFails_; }
    // How long putting an area of a window's image on the screen takes on
    // the virtual clock (none by default): for tests of drawing that falls
    // behind. No events are processed meanwhile.
    void setShowCost(std::int64_t milliseconds) { showCostMs_ = milliseconds; }
    std::size_t fileReplaceCount() const { return replaceCount_; }

    // --- virtual clock ---
    // Milliseconds since the platform was made.
    std::int64_t nowMs() const { return nowMs_; }
    // Advances the clock, firing every timer that comes due, in time order
    // (timers due together in the order they were scheduled). Returns false
    // when the program ended on the way.
    bool advance(std::int64_t milliseconds);
    // Runs `step` (a Main, an input event) as the program's entry point:
    // catches ProgramEnded. Returns false when the program ended.
    // Once the program has ended, nothing runs or fires any more.
    bool run(const std::function<void()>& step);
    bool programEnded() const { return ended_; }
    std::size_t doEventsCount() const { return doEventsCount_; }
    // Called at the end of every pauseWithoutEvents, with the clock already
    // moved on: the moments a test can look at a drawing in progress (the
    // frames of a transition).
    void onPause(std::function<void()> observer) { pauseObserver_ = std::move(observer); }
    // Called at every event yield, after the timers that came due: where a
    // test gives input that arrives while the program is busy.
    void onDoEvents(std::function<void()> observer) { doEventsObserver_ = std::move(observer); }

    // --- recorded calls ---
    const std::vector<std::string>& calls() const { return calls_; }
    // The recorded lines that start with one of `prefixes`, in order.
    std::vector<std::string> callsStartingWith(const std::vector<std::string>& prefixes) const;
    void clearCalls() { calls_.clear(); }

    // --- scripted answers ---
    // Each box or dialog takes the next answer; one with no answer left
    // throws std::logic_error, and so does an answer its buttons cannot give.
    void answerMessageBoxes(std::deque<MessageBoxAnswer> answers);
    const std::vector<MessageBoxRecord>& messageBoxes() const { return messageBoxes_; }
    // Called while each message box is up, before it takes its answer: where
    // a test gives input that arrives while the box waits.
    void onMessageBox(std::function<void()> observer) { messageBoxObserver_ = std::move(observer); }
    // One chosen file, or none for Cancel.
    void answerFileDialog(std::optional<std::string> path);
    // Several files chosen at once, in the order the dialog returns them.
    void answerFileDialogFiles(std::vector<std::string> paths) { fileAnswers_.push_back(std::move(paths)); }
    // The folder chosen in the folder chooser, or none for Cancel.
    void answerFolderDialog(std::optional<std::string> folder) { folderAnswers_.push_back(std::move(folder)); }
    void answerColorDialog(std::optional<std::uint32_t> color) { colorAnswers_.push_back(color); }
    void answerFontDialog(std::optional<FontChoice> font) { fontAnswers_.push_back(std::move(font)); }
    const std::vector<FileOpenRequest>& fileDialogRequests() const { return fileRequests_; }
    const std::vector<FontRequest>& fontDialogRequests() const { return fontRequests_; }
    const std::vector<std::uint32_t>& colorDialogRequests() const { return colorRequests_; }

    // --- windows and surfaces ---
    Surface& desktop();
    // A window of another program (the preview host), with a surface.
    Handle createHostWindow(const std::string& name, int width, int height, std::uint32_t pixel = 0);
    // The host paints its client area anew with `pixel` (another window
    // passed over it): what the program drew into the host's own context is
    // gone, and each shown window of the program hosted in it is sent
    // WM_PAINT, recorded as "WM_PAINT(<name>)".
    void repaintHostWindow(Handle host, std::uint32_t pixel);
    // The host window goes away, and with it the windows hosted in it: they
    // are no longer shown and their handles name no window.
    void destroyHostWindow(Handle host);
    // What the host shows: its surface with the shown windows of the
    // program hosted in it on top, each with its picture boxes.
    Surface hostView(Handle host);
    Surface* surfaceOfWindow(Handle hwnd);
    // The persistent image of a loaded window or picture box.
    Surface* surfaceOf(const ui::Control& control);
    bool isTopmost(Handle hwnd) const;
    // Shown by SetWindowPos with SWP_SHOWWINDOW or by the window's Visible.
    bool isShown(Handle hwnd) const;
    struct Point {
        int x, y;
    };
    // In screen coordinates; the system keeps it on a monitor.
    Point cursor() const { return cursor_; }
    // The virtual screen as the user would see it (its top-left pixel is the
    // virtual screen's corner): the desktop, then the shown windows (topmost
    // ones last) with their shown picture boxes and frames (a frame as its
    // back colour) and, as boxes filled with their text colour (grey when
    // disabled), the labels that hold text as their surface last drew them:
    // a change that repaints nothing is not seen.
    Surface screenshot();
    std::int32_t screenSaverRunningFlag() const { return screenSaverRunning_; }
    bool taskSwitchKeysBlocked() const { return taskSwitchKeysBlocked_; }
    // Where a window that centres itself was placed at its first showing,
    // in pixels; (0, 0) for any other.
    Point windowPosition(Handle hwnd) const;

    // --- input, each run as an entry point (see run()) ---
    // A key pressed and released on the control with the focus: KeyDown
    // with `keyCode`, then, when `character` is not 0, KeyPress with it.
    // Both go to the control that had the focus at the press, as the
    // system posts them. Tab and Shift+Tab move the focus between the
    // window's text boxes by tab index instead, when it has any. A text box then takes the character as typed at
    // its caret, which, as in the system's edit control, stands at the start
    // of the text after the program set it and moves on with the typing:
    // Backspace takes the character before the caret away, Enter breaks the
    // line of a multi-line box, other control characters do nothing. The
    // space bar presses a button, check box or option button that has it.
    // Returns false when the program ended.
    bool pressKey(int keyCode, int shift = 0, int character = 0);
    // Types each character of `text` (UTF-8) with pressKey, with the key
    // code of its key (letters upper-case, Shift for capitals; VK_PACKET
    // for characters without a key of their own). "\r" presses Enter.
    bool typeText(std::string_view text);
    // A mouse button pressed at (x, y) pixels inside `control`, given to
    // its MouseDown in the control's own units. The window is activated;
    // a picture box or a text box takes the focus.
    bool pressMouse(ui::Control& control, int button, int x, int y, int shift = 0);
    // The pointer moved to (x, y) pixels inside `control`, no button held.
    bool moveMouse(ui::Control& control, int x, int y);
    // Alt+F4, the close box or another program asking the window to close.
    bool requestClose(ui::Window& window);
    // Files and folders dropped on `window` from the file manager.
    bool dropFiles(ui::Window& window, const std::vector<std::string>& paths);
    const ui::Window* activeWindow() const;

    // --- controls of the settings dialog ---
    // One line for each control whose peer was made, in the order they were
    // made: kind, name, container, bounds, tab index, caption and tip, e.g.
    //   "Button Ok in Form2: 6000, 5520, 1215, 375; tab 1; \"&OK\""
    const std::vector<std::string>& createdControls() const { return created_; }
    // The control that has the keyboard focus: given by code (SetFocus), by
    // Tab, or on showing a window (its first tab stop). Null for none.
    const ui::Control* focusedControl() const;
    // The user presses Tab (or Shift+Tab) in `window`.
    void userTab(ui::Window& window, bool backwards = false);
    // What a panel of a status bar shows now: its text, or the time of day
    // of the virtual clock ("14:05") for a time panel.
    std::string statusPanelText(const ui::StatusBar& bar, std::size_t panel);

    // --- Platform ---
    std::string commandLine() override;
    bool claimSingleInstance() override;
    std::string programFolder() override;
    ScreenMetrics screen() override;
    std::vector<Monitor> monitors() override { return monitors_; }
    double timeOfDaySeconds() override;
    // Recorded; written "14 July 2024" (day, English month name, year).
    std::string longDate(const picture::CalendarDate& date) override;
    [[noreturn]] void endProgram() override;
    void doEvents() override;
    std::int64_t monotonicMs() override { return nowMs_; }
    void pauseWithoutEvents(int milliseconds) override;
    FileContent readFile(const std::string& path, std::size_t maxBytes) override;
    bool replaceFile(const std::string& path, std::string_view bytes) override;
    std::string lastFileError() override { return lastFileError_; }
    bool lastFileErrorIsDenied() override { return lastFileErrorDenied_; }
    bool createFolder(const std::string& path) override;
    std::string userDataFolder() override { return userDataFolder_; }
    PathKind pathKind(const std::string& path) override;
    std::vector<FolderEntry> listFolder(const std::string& folder) override;
    PictureFileHeader readPictureFileHeader(const std::string& path) override;
    std::vector<std::string> pictureFileExtensions() override;
    // Each step runs as an event of the virtual clock; what it costs (the
    // folders it lists) passes on the work's own clock, and `progressed`
    // comes when the step is done, before any timer due at that moment,
    // as a message posted to the window does.
    std::unique_ptr<BackgroundWork> startBackgroundWork(std::function<bool()> step,
                                                        std::function<void()> progressed) override;
    // Background works started and not yet finished or dropped.
    int backgroundWorksRunning() const { return backgroundWorksRunning_; }
    std::string ansiToUtf8(std::string_view bytes) override;  // Windows-1252
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
    std::uint32_t colorValue(std::uint32_t color) override { return pixelToColor(colorToPixel(color)); }
    void blockTaskSwitchKeys(bool block) override;
    MessageBoxAnswer messageBox(const std::string& text, const std::string& title,
                                MessageBoxButtons buttons) override;
    picture::PictureResult decodePicture(std::span<const std::uint8_t> bytes) override;
    // Recorded "LoadPictureInBackground(<path>)". The worker decodes one
    // picture at a time, in the order asked for; each takes its decode cost
    // (see setDecodeCost) of the worker's time, from when the worker is free
    // of the ones before it, and is ready once that has passed on the
    // virtual clock. `ready` comes as an event at that moment.
    std::unique_ptr<PictureJob> loadPictureInBackground(const std::string& path,
                                                        const picture::PictureRequest& request,
                                                        std::function<void()> ready) override;
    // The pictures of the worker still waiting or being decoded, wanted or
    // not; none once the program has ended.
    std::size_t picturesInWorker() const;
    // For tests of the decoders: the picture in the file decoded at once on
    // the calling thread, its decode cost passing on the program's clock.
    // Recorded "LoadPicture(<path>)". The program itself never decodes on its
    // user-interface thread.
    picture::PictureResult loadPicture(const std::string& path, const picture::PictureRequest& request);
    picture::PictureResult loadPicture(const std::string& path) { return loadPicture(path, picture::PictureRequest{}); }
    std::optional<std::vector<std::string>> chooseFiles(const FileOpenRequest& request) override;
    std::optional<std::string> chooseFolder(const std::string& title) override;
    std::optional<std::uint32_t> chooseColor(std::uint32_t start) override;
    std::optional<FontChoice> chooseFont(const FontRequest& request) override;
    std::unique_ptr<ui::ControlPeer> createPeer(ui::Control& control) override;

    // Used by the headless peers. Once the program has ended nothing more
    // is recorded: the process is gone, and what unwinding the test's stack
    // does (windows dropping their peers) is no behaviour of the program.
    void record(std::string line) {
        if (ended_) return;
        calls_.push_back(std::move(line));
        if (callWatch_ && calls_.back().starts_with(callWatch_->first)) {
            const auto action = std::move(callWatch_->second);
            callWatch_.reset();
            action();
        }
    }
    // Runs `action` once, right after the next call recorded with a line that
    // starts with `prefix`: something the system does at that moment (a host
    // window going while the program makes a window in it).
    void whenCalled(std::string prefix, std::function<void()> action) {
        callWatch_.emplace(std::move(prefix), std::move(action));
    }
    // An area was put on the screen: the clock moves on by its cost.
    void chargeShowCost() { nowMs_ += showCostMs_; }
    struct Impl;
    Impl& impl() { return *impl_; }
    struct BackgroundJob;
    // Used by the picture jobs the worker gives out.
    bool pictureJobReady(std::uint64_t id);
    picture::PictureResult takePictureJob(std::uint64_t id);
    void cancelPictureJob(std::uint64_t id);

private:
    void recordEventYield();
    // Time spent by a call: on the work's clock during a background step,
    // else on the program's.
    void spend(std::int64_t milliseconds);
    void runBackgroundStep(const std::shared_ptr<BackgroundJob>& job);
    struct PictureWorker;
    PictureWorker& pictureWorker();
    // Brings the picture worker up to the virtual clock's time: ends the
    // decodes due by now and starts the next.
    void settlePictureWorker();
    void pictureJobEnded(std::uint64_t id);
    void endPictureWorker();
    // The picture in the file, and what decoding it costs on the virtual clock.
    picture::PictureResult decodeFile(const std::string& path, const picture::PictureRequest& request, std::int64_t& costMs);
    std::vector<Target*> hostedWindows(Handle host);
    void resizeScreenSurfaces();

    std::unique_ptr<Impl> impl_;  // handles, surfaces, timers, files
    std::unique_ptr<PictureWorker> pictureWorker_;
    ScreenMetrics screen_{1024, 768, 15, 15};
    std::vector<Monitor> monitors_{Monitor{{0, 0, 1024, 768}, 96}};
    std::string commandLine_;
    std::string programFolder_ = "C:\\Program Files\\Vistrel";
    std::string userDataFolder_ = "C:\\Users\\tester\\AppData\\Roaming";
    bool otherInstance_ = false;
    bool instanceClaimed_ = false;
    std::int32_t platformId_ = VER_PLATFORM_WIN32_NT;
    bool versionReadable_ = true;
    std::int32_t screenSaverRunning_ = 0;
    bool taskSwitchKeysBlocked_ = false;
    double timeOfDayOrigin_ = 12 * 3600.0;
    std::int64_t nowMs_ = 0;
    bool ended_ = false;
    std::size_t doEventsCount_ = 0;
    double decodeCostPerMegapixelMs_ = 0;
    std::function<void()> pauseObserver_;
    std::function<void()> doEventsObserver_;
    std::function<void()> messageBoxObserver_;
    std::int64_t headerReadCostMs_ = 0;
    double listCostPerEntryMs_ = 0;
    double listCostCarryMs_ = 0;
    std::optional<std::vector<std::string>> extensions_;
    // Set while a background step runs: what the calls of the step cost.
    std::optional<std::int64_t> backgroundStepCostMs_;
    int backgroundWorksRunning_ = 0;
    Point cursor_{0, 0};
    bool writable_ = true;
    bool drawingFails_ = false;
    std::int64_t showCostMs_ = 0;
    std::size_t replaceCount_ = 0;
    std::string lastFileError_;
    bool lastFileErrorDenied_ = false;
    std::vector<std::string> calls_;
    std::set<Handle> destroyedWindows_;
    std::optional<std::pair<std::string, std::function<void()>>> callWatch_;  // host windows gone, and the windows they held
    std::vector<std::string> created_;
    std::deque<MessageBoxAnswer> messageAnswers_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::deque<std::optional<std::vector<std::string>>> fileAnswers_;
    std::deque<std::optional<std::string>> folderAnswers_;
    std::deque<std::optional<std::uint32_t>> colorAnswers_;
    std::deque<std::optional<FontChoice>> fontAnswers_;
    std::vector<FileOpenRequest> fileRequests_;
    std::vector<FontRequest> fontRequests_;
    std::vector<std::uint32_t> colorRequests_;
};

}  // namespace vistrel::platform::headless
