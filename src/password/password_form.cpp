#include "password/password_form.h"

#include <algorithm>

namespace vistrel::password {
namespace {

// The system's button-face colour, by its index: the runtime's default
// background of windows with a border and of their labels.
constexpr ui::Color kButtonFace = 0x8000000F;
constexpr ui::Color kDarkBlue = 0xC00000;  // red 0, green 0, blue 192
constexpr ui::Color kRed = 0x0000FF;

void place(ui::Control& control, int left, int top, int width, int height, int tabIndex) {
    control.move(left, top, width, height);
    control.setTabIndex(tabIndex);
}

void designLabel(ui::Label& label, std::string text) {
    label.setText(std::move(text));
    label.setBackColor(kButtonFace);
}

}  // namespace

PasswordForm::PasswordForm(platform::Platform& platform, const std::string& savedPassword)
    : form("PasswordForm", platform),
      lblMessage("lblMessage", form),
      label1("Label1", form),
      txtNotes("txtNotes", form),
      lblPassword("lblPassword", form),
      txtPassword("txtPassword", form),
      wrongPass("wrongPass", form),
      savedPassword_(savedPassword) {
    // Positions and sizes in twips of the window's interior.
    form.caption = kPromptTitle;
    form.borderStyle = ui::BorderStyle::FixedSingle;
    form.controlBox = false;  // no close button, no system menu
    form.showInTaskbar = false;
    form.centerOnScreen = true;
    form.interiorWidth = 3120;
    form.interiorHeight = 2520;
    form.setBackColor(kButtonFace);

    designLabel(lblMessage, "Message Board");
    place(lblMessage, 120, 120, 1455, 375, 3);

    designLabel(label1, "('Enter' to hide)");
    label1.setForeColor(kDarkBlue);
    place(label1, 1920, 120, 1215, 255, 5);

    txtNotes.multiLine = true;
    txtNotes.setText(" \r\n");
    place(txtNotes, 120, 360, 2895, 1335, 1);

    designLabel(lblPassword, "Password");
    place(lblPassword, 140, 1830, 855, 375, 2);

    // Tab index 0: the keyboard focus is here when the window first opens.
    txtPassword.passwordChar = '*';
    place(txtPassword, 960, 1800, 2055, 285, 0);

    designLabel(wrongPass, kWrongPasswordText);
    wrongPass.setForeColor(kRed);
    wrongPass.setFontName("MS Sans Serif");
    wrongPass.setFontSize(12);
    wrongPass.setFontBold(true);
    wrongPass.setVisible(false);
    place(wrongPass, 210, 2160, 3015, 375, 4);

    form.onLoad = [this] { Form_Load(); };
    form.onCloseRequest = [this] { Form_CloseRequest(); };
    // Neither handler consumes its key: the character goes on to the box.
    txtPassword.onKeyPress = [this](int& keyAscii) { txtPassword_KeyPress(keyAscii); };
    txtNotes.onKeyPress = [this](int& keyAscii) { txtNotes_KeyPress(keyAscii); };
}

void PasswordForm::Form_Load() { txtPassword.setText(""); }

// A window without a control box still gets a close command from Alt+F4.
// Closing it must not leave the saver window disabled and behind: it is
// putting the prompt away.
void PasswordForm::Form_CloseRequest() { returnToSaver(); }

void PasswordForm::txtPassword_KeyPress(int keyAscii) {
    // Any character, Backspace and Escape included, takes the error away.
    wrongPass.setVisible(false);
    if (keyAscii != kKeyEnter) return;
    if (txtPassword.text().empty()) {
        returnToSaver();
    } else {
        CheckPassword();
    }
}

void PasswordForm::txtNotes_KeyPress(int keyAscii) {
    if (keyAscii == kKeyEnter) returnToSaver();
}

void PasswordForm::CheckPassword() {
    if (txtPassword.text() == savedPassword_) {
        if (onRightPassword) onRightPassword();
        return;
    }
    wrongPass.setVisible(true);
    txtPassword.setText("");
}

void PasswordForm::addBoardLine(const std::string& line) {
    form.load();
    std::string text = line;
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    std::string notes = txtNotes.text();
    if (!notes.empty() && !notes.ends_with("\r\n")) notes += "\r\n";
    txtNotes.setText(notes + text + "\r\n");
}

void PasswordForm::setBoardCountLine(const std::string& line) {
    form.load();
    std::string text = line;
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    std::string notes = txtNotes.text();
    const std::size_t at = countLine_.empty() ? std::string::npos : notes.rfind(countLine_ + "\r\n");
    if (at == std::string::npos) {
        addBoardLine(text);
    } else {
        notes.replace(at, countLine_.size(), text);
        txtNotes.setText(notes);
    }
    countLine_ = text;
}

void PasswordForm::returnToSaver() {
    if (onReturnToSaver) onReturnToSaver();
}

}  // namespace vistrel::password
