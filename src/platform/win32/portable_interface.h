// The portable platform interface and control model, for code that also
// includes <windows.h>.
//
// platform.h names a few constants after the Win32 macros they stand for
// (SRCCOPY, HWND_TOPMOST, ...). Where <windows.h> came first, those macros
// would rewrite the declarations, so they are set aside while the portable
// headers are read.
#pragma once

#pragma push_macro("HWND_TOPMOST")
#pragma push_macro("HWND_NOTOPMOST")
#pragma push_macro("SWP_NOACTIVATE")
#pragma push_macro("SWP_SHOWWINDOW")
#pragma push_macro("SRCCOPY")
#pragma push_macro("SPI_SETSCREENSAVERRUNNING")
#pragma push_macro("VER_PLATFORM_WIN32_WINDOWS")
#pragma push_macro("VER_PLATFORM_WIN32_NT")
#pragma push_macro("STRETCH_DELETESCANS")
#pragma push_macro("STRETCH_HALFTONE")
#undef STRETCH_DELETESCANS
#undef STRETCH_HALFTONE
#undef HWND_TOPMOST
#undef HWND_NOTOPMOST
#undef SWP_NOACTIVATE
#undef SWP_SHOWWINDOW
#undef SRCCOPY
#undef SPI_SETSCREENSAVERRUNNING
#undef VER_PLATFORM_WIN32_WINDOWS
#undef VER_PLATFORM_WIN32_NT

#include "platform/controls.h"
#include "platform/dialog_controls.h"
#include "picture/picture.h"
#include "picture/picture_fitting.h"
#include "picture/picture_structure.h"
#include "platform/platform.h"

#pragma pop_macro("HWND_TOPMOST")
#pragma pop_macro("HWND_NOTOPMOST")
#pragma pop_macro("SWP_NOACTIVATE")
#pragma pop_macro("SWP_SHOWWINDOW")
#pragma pop_macro("SRCCOPY")
#pragma pop_macro("SPI_SETSCREENSAVERRUNNING")
#pragma pop_macro("VER_PLATFORM_WIN32_WINDOWS")
#pragma pop_macro("VER_PLATFORM_WIN32_NT")
#pragma pop_macro("STRETCH_DELETESCANS")
#pragma pop_macro("STRETCH_HALFTONE")
