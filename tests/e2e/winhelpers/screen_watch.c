/* Watches one pixel of the screen: screen_watch.exe <x> <y> <ms> reads the
 * pixel at (x, y) about every 2 ms for <ms> milliseconds and prints a line
 * "<ms since the start> <red> <green> <blue>" each time its colour changes
 * (the first reading included). Screenshots take a tenth of a second each
 * under Wine; this tells when a picture came within a few milliseconds.
 *
 * Exit code 0: done; 2: bad arguments.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 4) return 2;
    const int x = atoi(argv[1]);
    const int y = atoi(argv[2]);
    const double duration = atof(argv[3]);
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HDC screen = GetDC(NULL);
    COLORREF last = CLR_INVALID;
    for (;;) {
        QueryPerformanceCounter(&now);
        const double elapsed = (double)(now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
        if (elapsed >= duration) break;
        const COLORREF pixel = GetPixel(screen, x, y);
        if (pixel != last) {
            printf("%.1f %u %u %u\n", elapsed, GetRValue(pixel), GetGValue(pixel), GetBValue(pixel));
            fflush(stdout);
            last = pixel;
        }
        Sleep(2);
    }
    ReleaseDC(NULL, screen);
    return 0;
}
