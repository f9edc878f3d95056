#include "platform/win32/escaped_exception.h"

#include <string>

#include "platform/win32/portable_interface.h"
#include "platform/win32/task_switch_hook.h"
#include "platform/win32/wide_text.h"

namespace vistrel::platform::win32 {

void endAfterEscapedException(const char* what) {
    // The run ends here: the task-switching keys are the user's again, also
    // while the message is up, and the guard's thread ends before the program.
    TaskSwitchHook::removeInstalled();
    const std::wstring text = toWide(std::string("The program met an internal error and has to stop.\r\n\r\n") + what);
    const std::wstring title = toWide(kApplicationTitle);
    MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_ICONERROR | MB_OK | MB_TASKMODAL);
    ExitProcess(1);
}

}  // namespace vistrel::platform::win32
