/* Moves the mouse pointer through Windows: set_cursor_pos.exe <x> <y>
 *
 * Wine remembers where it last put the pointer and skips a SetCursorPos to
 * that same point, without looking where the X pointer really is. Moving the
 * pointer with X tools alone would therefore make a later "park the pointer"
 * a silent no-op; moving it through Wine keeps both in step.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: set_cursor_pos <x> <y>\n");
        return 2;
    }
    int x = atoi(argv[1]);
    int y = atoi(argv[2]);
    if (!SetCursorPos(x, y)) {
        fprintf(stderr, "SetCursorPos failed: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}
