/* Prints the texts of a top-level window and of its child windows, one line
 * each: window_texts.exe <title>
 *
 * Lets a test read what a message box says. Exits with 1 when no visible
 * window has that title.
 */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static BOOL CALLBACK PrintChild(HWND child, LPARAM unused)
{
    char text[1024];
    (void)unused;
    GetWindowTextA(child, text, sizeof text);
    if (text[0]) {
        /* One line per text line, so a test reads multi-line texts line by line. */
        for (char* at = text; *at; ++at) {
            if (*at == '\r') continue;
            putchar(*at);
        }
        putchar('\n');
    }
    return TRUE;
}

struct Search {
    const char* title;
    HWND found;
};

static BOOL CALLBACK MatchVisible(HWND window, LPARAM data)
{
    struct Search* search = (struct Search*)data;
    char text[256];
    if (!IsWindowVisible(window) || !GetWindowTextA(window, text, sizeof text)) return TRUE;
    if (strcmp(text, search->title) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

/* For the report of a failed search: every visible top-level window. */
static BOOL CALLBACK ListVisible(HWND window, LPARAM unused)
{
    char text[256] = "";
    (void)unused;
    if (!IsWindowVisible(window)) return TRUE;
    GetWindowTextA(window, text, sizeof text);
    fprintf(stderr, "visible window %p: \"%s\"\n", (void*)window, text);
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: window_texts <title>\n");
        return 2;
    }
    /* FindWindow could pick a hidden window of the same title. */
    struct Search search = {argv[1], NULL};
    EnumWindows(MatchVisible, (LPARAM)&search);
    HWND window = search.found;
    if (!window) {
        EnumWindows(ListVisible, 0);
        return 1;
    }
    printf("%s\n", argv[1]);
    EnumChildWindows(window, PrintChild, 0);
    fflush(stdout);
    return 0;
}
