// The password prompt of a protected saver run, with its message board.
//
// The owner types the password and presses Enter to end the saver; anyone
// else may leave a note on the board and press Enter to put the prompt away
// again. The window is loaded once per run and afterwards only shown and
// hidden, so the notes, any text left in the password box and the error
// message survive between showings. Nothing of it is ever stored.
#pragma once

#include <functional>
#include <string>

#include "platform/controls.h"
#include "platform/platform.h"

namespace vistrel::password {

inline constexpr const char* kPromptTitle = "Password Protection";
inline constexpr const char* kWrongPasswordText = "INVALID PASSWORD!";
inline constexpr int kKeyEnter = 13;

class PasswordForm {
public:
    // `savedPassword` is read by the saver window's load step and lives as
    // long as the run.
    PasswordForm(platform::Platform& platform, const std::string& savedPassword);
    PasswordForm(const PasswordForm&) = delete;
    PasswordForm& operator=(const PasswordForm&) = delete;

    ui::Window form;  // "PasswordForm"
    ui::Label lblMessage;
    ui::Label label1;  // "('Enter' to hide)"
    ui::TextBox txtNotes;  // the message board
    ui::Label lblPassword;
    ui::TextBox txtPassword;
    ui::Label wrongPass;

    // Enter on an empty password box, Enter on the board, or a close
    // command (Alt+F4): back to the saver.
    std::function<void()> onReturnToSaver;
    // The right password: the run ends.
    std::function<void()> onRightPassword;

    // Ends the run when the password box holds exactly the stored password
    // (letter case counts, nothing trimmed); otherwise shows the error and
    // empties the box.
    void CheckPassword();

    // Puts `line` on the message board as a line of its own, for the owner
    // to find at the next prompt. Loads the window when it is not loaded yet
    // but does not show it. Line breaks inside `line` become blanks.
    void addBoardLine(const std::string& line);
    // The same, but a line put there before by this call is replaced where
    // it stands: a count that grows keeps one line.
    void setBoardCountLine(const std::string& line);

private:
    void Form_Load();
    void Form_CloseRequest();
    void txtPassword_KeyPress(int keyAscii);
    void txtNotes_KeyPress(int keyAscii);
    void returnToSaver();

    const std::string& savedPassword_;
    std::string countLine_;  // as last put on the board
};

}  // namespace vistrel::password
