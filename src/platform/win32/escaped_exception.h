// Window procedures and timer callbacks are called by the system, whose
// frames an exception must not cross (the 32-bit build cannot unwind
// through them). An exception that reaches one of them ends the program
// with a message instead of a crash.
#pragma once

#include <windows.h>

#include <exception>

namespace vistrel::platform::win32 {

[[noreturn]] void endAfterEscapedException(const char* what);

template <typename Handler>
LRESULT callGuarded(Handler&& handler) {
    try {
        return handler();
    } catch (const std::exception& error) {
        endAfterEscapedException(error.what());
    } catch (...) {
        endAfterEscapedException("unknown exception");
    }
}

}  // namespace vistrel::platform::win32
