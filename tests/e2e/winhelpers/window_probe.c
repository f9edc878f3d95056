/* Reports the program's top-level windows as Windows itself sees them:
 * window_probe.exe prints one JSON object with the foreground window, the
 * window with the keyboard focus, and for each visible or hidden top-level
 * window of the class "Vistrel.Window": its handle, title, visibility,
 * enabled state, topmost rank, frame and client area on the screen, and the
 * text of each edit control on it (the message board). Edit controls that
 * mask their text report only their style, never their text.
 */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

#define MAX_TEXT 4096

static void print_json_text(const wchar_t* text)
{
    putchar('"');
    for (; *text; ++text) {
        unsigned c = (unsigned)*text;
        if (c == '"' || c == '\\') {
            printf("\\%c", (char)c);
        } else if (c >= 0x20 && c < 0x7F) {
            putchar((int)c);
        } else {
            printf("\\u%04x", c);
        }
    }
    putchar('"');
}

static void print_rect(const char* name, RECT r)
{
    printf("\"%s\": [%ld, %ld, %ld, %ld]", name, r.left, r.top, r.right, r.bottom);
}

static int first_edit;

static BOOL CALLBACK report_edit(HWND child, LPARAM unused)
{
    wchar_t class_name[64];
    (void)unused;
    if (!GetClassNameW(child, class_name, 64) || _wcsicmp(class_name, L"Edit") != 0) return TRUE;
    LONG style = GetWindowLongW(child, GWL_STYLE);
    printf("%s{\"handle\": %lu, \"style\": %ld, \"visible\": %d", first_edit ? "" : ", ",
           (unsigned long)(ULONG_PTR)child, style, IsWindowVisible(child) ? 1 : 0);
    if (!(style & ES_PASSWORD)) {
        wchar_t text[MAX_TEXT];
        /* Across processes WM_GETTEXT is how an edit control's text is read. */
        LRESULT length = SendMessageW(child, WM_GETTEXT, MAX_TEXT, (LPARAM)text);
        text[length >= 0 && length < MAX_TEXT ? length : 0] = 0;
        printf(", \"text\": ");
        print_json_text(text);
    }
    putchar('}');
    first_edit = 0;
    return TRUE;
}

static int first_window = 1;

static BOOL CALLBACK report_window(HWND window, LPARAM unused)
{
    wchar_t class_name[64];
    wchar_t title[256];
    RECT frame, client;
    POINT origin = {0, 0};
    (void)unused;
    if (!GetClassNameW(window, class_name, 64) || wcscmp(class_name, L"Vistrel.Window") != 0) return TRUE;
    GetWindowTextW(window, title, 256);
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    printf("%s{\"handle\": %lu, \"title\": ", first_window ? "" : ", ", (unsigned long)(ULONG_PTR)window);
    print_json_text(title);
    printf(", \"visible\": %d, \"enabled\": %d, \"topmost\": %d, ", IsWindowVisible(window) ? 1 : 0,
           IsWindowEnabled(window) ? 1 : 0, (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
    print_rect("frame", frame);
    printf(", ");
    print_rect("client", client);
    printf(", \"edits\": [");
    first_edit = 1;
    EnumChildWindows(window, report_edit, 0);
    printf("]}");
    first_window = 0;
    return TRUE;
}

int main(void)
{
    HWND foreground = GetForegroundWindow();
    GUITHREADINFO thread;
    HWND focus = NULL;
    ZeroMemory(&thread, sizeof thread);
    thread.cbSize = sizeof thread;
    if (foreground && GetGUIThreadInfo(GetWindowThreadProcessId(foreground, NULL), &thread)) {
        focus = thread.hwndFocus;
    }
    printf("{\"foreground\": %lu, \"focus\": %lu, \"windows\": [", (unsigned long)(ULONG_PTR)foreground,
           (unsigned long)(ULONG_PTR)focus);
    EnumWindows(report_window, 0);
    printf("]}\n");
    return 0;
}
