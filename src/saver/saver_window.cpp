#include "saver/saver_window.h"
#include "platform/units.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "common/numbers.h"
#include "saver/saver_fallbacks.h"
#include "settings/option_table.h"

namespace vistrel::saver {

SaverWindow::SaverWindow(platform::Platform& platform, RunValues& runValues,
                         settings::SettingsReader* settingsOverride)
    : form1("Form1", platform),
      picture1("Picture1", form1),
      picture2("Picture2", form1),
      label1("Label1", form1),
      timer1("Timer1", form1),
      timer2("Timer2", form1),
      timer3("Timer3", form1),
      panTimer("PanTimer", form1),
      input(platform, form1, picture1),
      platform_(platform),
      runValues_(runValues),
      primary_{picture1, picture2, label1, imageIndex, stepX, stepY, {}},
      settingsOverride_(settingsOverride) {
    form1.borderStyle = ui::BorderStyle::None;
    form1.controlBox = false;
    form1.showInTaskbar = false;
    form1.windowState = ui::WindowState::Maximized;
    form1.persistentImage = true;  // the desktop snapshot stays as the background
    // The system's colours as designed (black on standard schemes, not under
    // high contrast); the desktop-copy mode keeps them.
    form1.setBackColor(ui::kSystemWindowFrame);

    for (ui::PictureBox* box : {&picture1, &picture2}) {
        box->borderStyle = ui::BorderStyle::None;
        box->autoSize = true;
        box->setVisible(false);
    }
    picture1.setBackColor(ui::kSystemButtonText);
    picture2.setBackColor(ui::kBlack);
    // The picture and its caption are drawn on the composed stage.
    picture1.drawnByProgram = true;
    label1.drawnByProgram = true;

    label1.setText(" ");
    label1.setVisible(false);
    label1.alignment = ui::Alignment::Center;
    label1.autoSize = true;
    label1.transparent = true;

    timer1.setInterval(kMovementIntervalMs);
    timer2.setInterval(0);
    timer3.setInterval(0);

    form1.onLoad = [this] { Form_Load(); };
    timer1.onTimer = [this] { Timer1_Timer(); };
    timer2.onTimer = [this] { Timer2_Timer(); };
    timer3.onTimer = [this] { Timer3_Timer(); };
    panTimer.onTimer = [this] { PanTimer_Timer(); };
}

void SaverWindow::Form_Load() {
    // Every setting comes from one reading of the file.
    std::unique_ptr<settings::SettingsSnapshot> file;
    settings::SettingsReader* settings = settingsOverride_;
    if (!settings) {
        file = std::make_unique<settings::SettingsSnapshot>(platform_);
        settings = file.get();
    }

    readImageList(*settings);

    // A missing or empty key reads as its first-start value.
    const settings::OptionValues read = settings::readSaverOptions(*settings);
    using settings::Option;
    randomPick = read[Option::randomPick];
    newBackColor = read[Option::newBackColor];
    backEffect = read[Option::backEffect];
    picSpeed = read[Option::picSpeed];
    timeInterval = read[Option::timeInterval];
    picRandom = read[Option::picRandom];
    effectMode = read[Option::effectMode];
    randomEffect = read[Option::randomEffect];
    fitLarge = read[Option::fitLarge];
    allMonitors = read[Option::allMonitors];
    autoCaption = read[Option::autoCaption];
    runValues_.savedPassword = read[Option::saverPassword];
    runValues_.passwordEnabled = read[Option::saverEnabled];
    newFontName = read[Option::newFontName];
    newFontSize = read[Option::newFontSize];
    newFontBold = read[Option::newFontBold];
    newFontItalic = read[Option::newFontItalic];
    newFontUnderline = read[Option::newFontUnderline];
    newFontFontStrikethru = read[Option::newFontFontStrikethru];
    newFontForeColor = read[Option::newFontForeColor];

    applyCaptionFont();
    label1.setForeColor(colorOrFallback(newFontForeColor, kFallbackCaptionColor));

    DetectPlatform();
    if (runValues_.usesScreenSaverRunningFlag()) {
        std::uint32_t scratch = 0;
        platform_.systemParametersInfo(platform::SPI_SETSCREENSAVERRUNNING, 1, &scratch, 0);
    }

    const std::vector<TwipsArea> areas = monitorAreas(platform_);
    primary_.area = areas.front();
    prepareBackground();
    prepareFurtherMonitors();
    prepareStages();
    // A new round of the deck keeps clear of every monitor's picture and of
    // the next ones already dealt.
    library_->deck().setRecentToAvoid(2 * stages().size() - 1);
    // The folders are read afresh at every start, while the show goes on.
    library_->startReading([this] { picturesFound(); });

    // The caption stands at the top of the primary monitor.
    label1.setTop(primary_.area.top);
    timer3.setInterval(kFirstImageDelayMs);
    timer3.setTimerEnabled(true);
}

void SaverWindow::readImageList(settings::SettingsReader& settings) {
    total = settings.ReadSetting("total", "total");
    const int count = imageCountOf(total);
    imagePaths.assign(static_cast<std::size_t>(count) + 1, std::string());
    imageCaptions.assign(static_cast<std::size_t>(count) + 1, std::string());

    lastIndex = -1;
    for (int i = 0; i < count; ++i) {
        imagePaths[static_cast<std::size_t>(i)] = settings.ReadSetting("images", std::to_string(i));
        ++lastIndex;
    }
    for (int i = 0; i < count; ++i) {
        imageCaptions[static_cast<std::size_t>(i)] = settings.ReadSetting("caption", std::to_string(i));
    }
    library_ = std::make_unique<library::PictureLibrary>(
        platform_, std::vector<std::string>(imagePaths.begin(), imagePaths.begin() + count));
}

void SaverWindow::applyCaptionFont() {
    label1.setFontName(newFontName);
    label1.setFontSize(fontSizeOrFallback(newFontSize));
    label1.setFontBold(fontFlagOf(newFontBold));
    label1.setFontItalic(fontFlagOf(newFontItalic));
    label1.setFontUnderline(fontFlagOf(newFontUnderline));
    label1.setFontStrikethrough(fontFlagOf(newFontFontStrikethru));
}

void SaverWindow::DetectPlatform() {
    platform::OsVersionInfo info;
    info.size = platform::OSVERSIONINFOA_SIZE;
    // A failed call leaves the identifier 0: not of the NT family.
    platform_.getVersionEx(info);
    runValues_.platformId = info.platformId;
}

void SaverWindow::prepareBackground() {
    if (numericValue(backEffect) == 0) {
        const ui::Color color = colorOrFallback(newBackColor, kFallbackBackColor);
        form1.setBackColor(color);
        picture1.setBackColor(color);
        picture2.setBackColor(color);
        return;
    }

    // The copy is of the whole virtual screen: the desktop's context works
    // in screen coordinates, from the primary monitor's corner.
    const platform::ScreenMetrics screen = platform_.screen();
    const platform::PixelBounds all = platform_.virtualScreen();
    const platform::Handle desktop = platform_.getDesktopWindow();
    const platform::Handle desktopDC = platform_.getDC(desktop);
    form1.setWidth(platform::pixelsToTwips(all.width, screen.twipsPerPixelX));
    form1.setHeight(platform::pixelsToTwips(all.height, screen.twipsPerPixelY));
    platform_.bitBlt(form1.hdc(), 0, 0, all.width, all.height, desktopDC, all.left, all.top, platform::SRCCOPY);
    platform_.releaseDC(desktop, desktopDC);
}

FurtherMonitor::FurtherMonitor(ui::Window& form, int number, const TwipsArea& area)
    : picture1("Picture1." + std::to_string(number), form),
      picture2("Picture2." + std::to_string(number), form),
      label1("Label1." + std::to_string(number), form),
      stage{picture1, picture2, label1, imageIndex, stepX, stepY, area} {}

void SaverWindow::prepareFurtherMonitors() {
    if (numericValue(allMonitors) != 1) return;
    const std::vector<TwipsArea> areas = monitorAreas(platform_);
    for (std::size_t i = 1; i < areas.size(); ++i) {
        auto further = std::make_unique<FurtherMonitor>(form1, static_cast<int>(i) + 1, areas[i]);
        // Made like the designed ones, with the caption's font and colour.
        further->picture1.drawnByProgram = true;
        further->label1.drawnByProgram = true;
        for (ui::PictureBox* box : {&further->picture1, &further->picture2}) {
            box->borderStyle = ui::BorderStyle::None;
            box->autoSize = true;
            box->setVisible(false);
            box->setBackColor(picture1.backColor());
            // Input over its pictures counts as over the primary's.
            box->onKeyDown = picture1.onKeyDown;
            box->onMouseDown = picture1.onMouseDown;
            box->onMouseMove = picture1.onMouseMove;
        }
        ui::Label& caption = further->label1;
        caption.setText(" ");
        caption.setVisible(false);
        caption.alignment = ui::Alignment::Center;
        caption.autoSize = true;
        caption.transparent = true;
        const ui::Font& font = label1.font();
        caption.setFontName(font.name);
        caption.setFontSize(font.sizePoints);
        caption.setFontBold(font.bold);
        caption.setFontItalic(font.italic);
        caption.setFontUnderline(font.underline);
        caption.setFontStrikethrough(font.strikethrough);
        caption.setForeColor(label1.foreColor());
        for (ui::Control* control : std::initializer_list<ui::Control*>{&further->picture1, &further->picture2, &caption}) {
            form1.loadLateControl(*control);
        }
        caption.setTop(areas[i].top);
        furtherMonitors.push_back(std::move(further));
    }
}

}  // namespace vistrel::saver
