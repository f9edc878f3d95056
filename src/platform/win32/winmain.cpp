// The program file's entry point on Windows.

// The program's headers come before <windows.h>, whose macros would clash
// with names they declare.
#include "app/main.h"

#include <windows.h>

#include <objbase.h>

#include <exception>

#include "platform/win32/escaped_exception.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The picture loader (Windows Imaging Component) works through COM, on
    // this one user-interface thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    vistrel::platform::win32::Win32Platform platform;
    try {
        // The program's windows live in `program`, which goes before the
        // platform does.
        const auto program = vistrel::app::Main(platform);
        return platform.runEventLoop();
    } catch (const std::exception& error) {
        vistrel::platform::win32::endAfterEscapedException(error.what());
    }
}
