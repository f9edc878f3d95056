/* Measures how quickly a window answers: answer_times.exe <hwnd> <ms> sends
 * it WM_NULL every 10 ms for <ms> milliseconds, as a host window's own
 * messages to a child window of another process wait for that process, and
 * prints the longest and the mean wait in milliseconds ("longest mean
 * count"). A message not answered within 5 s counts as 5000 ms.
 * answer_times.exe <hwnd> <ms> <report ms> then also prints a line
 * "<ms since the start> <wait>" for each wait of at least <report ms>, in
 * the order they came, so that a long one can be set beside what the
 * window was doing at the time.
 *
 * Exit code 0: printed; 1: the handle names no window; 2: bad arguments.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) return 2;
    const double report = argc == 4 ? atof(argv[3]) : -1;
    static double reportedAt[4096], reportedWait[4096];
    int reported = 0;
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
        if (report >= 0 && waited >= report && reported < 4096) {
            reportedAt[reported] = (double)(before.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart;
            reportedWait[reported++] = waited;
        }
        total += waited;
        ++count;
        Sleep(10);
    }
    printf("%.1f %.1f %d\n", longest, count ? total / count : 0.0, count);
    for (int i = 0; i < reported; ++i) printf("%.1f %.1f\n", reportedAt[i], reportedWait[i]);
    return 0;
}
