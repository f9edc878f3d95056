/* A stand-in for the screen-saver control panel: one visible window whose
 * client area is 200 x 150 pixels of a known colour. The tests pass its
 * handle to "vistrel.scr /p <hwnd>".
 *
 * Prints the window handle in decimal on stdout, then the screen position of
 * its client area ("x y"), and runs until it is killed,
 * or for 60 seconds at most so that a crashed test run leaves nothing behind.
 */
#include <windows.h>
#include <stdio.h>

#define HOST_WIDTH 200
#define HOST_HEIGHT 150
/* Teal: far from the saver's black and red and from the X root pattern. */
#define HOST_COLOR RGB(0, 128, 128)
#define LIFETIME_MS 60000
#define LIFETIME_TIMER 1

static LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == LIFETIME_TIMER) DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int main(void)
{
    HINSTANCE instance = GetModuleHandleW(NULL);
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(NULL, (LPCWSTR)IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(HOST_COLOR);
    windowClass.lpszClassName = L"VistrelPreviewHost";
    if (!RegisterClassW(&windowClass)) {
        fprintf(stderr, "RegisterClass failed: %lu\n", GetLastError());
        return 1;
    }

    /* The outer size that gives a client area of exactly 200 x 150. */
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    RECT frame = {0, 0, HOST_WIDTH, HOST_HEIGHT};
    AdjustWindowRect(&frame, style, FALSE);

    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Vistrel preview host", style, 40, 40,
                                  frame.right - frame.left, frame.bottom - frame.top, NULL, NULL,
                                  instance, NULL);
    if (!window) {
        fprintf(stderr, "CreateWindow failed: %lu\n", GetLastError());
        return 1;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    SetTimer(window, LIFETIME_TIMER, LIFETIME_MS, NULL);

    /* The handle, then where the client area starts on the screen. */
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    printf("%llu\n%ld %ld\n", (unsigned long long)(ULONG_PTR)window, (long)origin.x, (long)origin.y);
    fflush(stdout);

    MSG message;
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
