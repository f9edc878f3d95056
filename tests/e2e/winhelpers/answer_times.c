/* Measures how quickly a window answers: answer_times.exe <hwnd> <ms> sends
 * it WM_NULL every 10 ms for <ms> milliseconds, as a host window's own
 * messages to a child window of another process wait for that process, and
 * prints the longest and the mean wait in milliseconds ("longest mean
 * count"). A message not answered within 5 s counts as 5000 ms.
 *
 * Exit code 0: printed; 1: the handle names no window; 2: bad arguments.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    HWND window = (HWND)(ULONG_PTR)strtoull(argv[1], NULL, 10);
    const DWORD duration = (DWORD)strtoul(argv[2], NULL, 10);
    if (!IsWindow(window)) return 1;
    LARGE_INTEGER frequency, start, before, after;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    double longest = 0, total = 0;
    int count = 0;
    for (;;) {
        QueryPerformanceCounter(&before);
        if ((double)(before.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart >= duration) break;
        DWORD_PTR result = 0;
        const LRESULT answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
        QueryPerformanceCounter(&after);
        double waited = (double)(after.QuadPart - before.QuadPart) * 1000 / frequency.QuadPart;
        if (!answered) {
            if (!IsWindow(window)) return 1;
            waited = 5000;
        }
        if (waited > longest) longest = waited;
        total += waited;
        ++count;
        Sleep(10);
    }
    printf("%.1f %.1f %d\n", longest, count ? total / count : 0.0, count);
    return 0;
}
