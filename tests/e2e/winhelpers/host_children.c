/* Reports the child windows of a window of another process, as Windows
 * itself sees them: host_children.exe <hwnd> prints one JSON object with the
 * host's client area and, for each direct child window, its handle, class,
 * visibility, the id of the process that made it, and its rectangle in the
 * host's client coordinates.
 *
 * Exit code 0: printed; 1: the handle names no window; 2: bad arguments.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static HWND host;
static int first_child = 1;

static BOOL CALLBACK report_child(HWND child, LPARAM unused)
{
    (void)unused;
    if (GetParent(child) != host) return TRUE; /* grandchildren come through here too */
    char class_name[128];
    if (!GetClassNameA(child, class_name, sizeof class_name)) class_name[0] = 0;
    RECT frame;
    GetWindowRect(child, &frame);
    MapWindowPoints(NULL, host, (POINT*)&frame, 2);
    DWORD process = 0;
    GetWindowThreadProcessId(child, &process);
    printf("%s{\"handle\": %llu, \"class\": \"%s\", \"visible\": %s, \"process\": %lu, "
           "\"rect\": [%ld, %ld, %ld, %ld]}",
           first_child ? "" : ", ", (unsigned long long)(ULONG_PTR)child, class_name,
           IsWindowVisible(child) ? "true" : "false", (unsigned long)process, frame.left, frame.top,
           frame.right, frame.bottom);
    first_child = 0;
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    host = (HWND)(ULONG_PTR)strtoull(argv[1], NULL, 10);
    if (!IsWindow(host)) return 1;
    RECT client;
    GetClientRect(host, &client);
    DWORD process = 0;
    GetWindowThreadProcessId(host, &process);
    printf("{\"client\": [%ld, %ld, %ld, %ld], \"process\": %lu, \"children\": [", client.left, client.top,
           client.right, client.bottom, (unsigned long)process);
    EnumChildWindows(host, report_child, 0);
    printf("]}\n");
    fflush(stdout);
    return 0;
}
