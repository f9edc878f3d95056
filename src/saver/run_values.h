// Values the saver window reads at its start that outlive its load step:
// the routines that end a run and the password prompt use them.
#pragma once

#include <cstdint>
#include <string>

namespace vistrel::saver {

struct RunValues {
    std::string savedPassword;    // [password] saverPassword
    std::string passwordEnabled;  // [password] saverEnabled; 1 turns protection on
    std::int32_t platformId = 0;  // from the system's version record; 2 = NT family

    // Protection is on when saverEnabled is 1 and a password is stored:
    // with an empty one no entry could ever end the run, so such a run (only
    // a hand-edited file holds one) is an unprotected run.
    bool protectionOn() const;
    // The screen-saver-running flag is used only for a protected run on
    // Windows 95/98, where it keeps Ctrl+Alt+Del from getting past the
    // password prompt.
    bool usesScreenSaverRunningFlag() const;
};

}  // namespace vistrel::saver
