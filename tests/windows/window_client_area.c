/// Tells where a window's client area lies on the screen, in the screen's own pixels: prints
/// "X Y WIDTH HEIGHT" for the first visible top-level window whose title starts with PREFIX;
/// exits with 1 when there is none.
///   window_client_area.exe PREFIX
#define _WIN32_WINNT 0x0A00
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

static const wchar_t *wanted;
static HWND found;

static BOOL CALLBACK consider(HWND window, LPARAM unused) {
    (void)unused;
    wchar_t title[256];
    if (IsWindowVisible(window) && GetWindowTextW(window, title, 256) > 0 &&
        wcsncmp(title, wanted, wcslen(wanted)) == 0) {
        found = window;
        return FALSE;
    }
    return TRUE;
}

int wmain(int argc, wchar_t **argv) {
    if (argc != 2)
        return 2;
    // A program unaware of the display's scale would be told sizes divided by it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    wanted = argv[1];
    EnumWindows(consider, 0);
    RECT client;
    POINT origin = {0, 0};
    if (!found || !GetClientRect(found, &client) || !ClientToScreen(found, &origin))
        return 1;
    printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right - client.left,
           client.bottom - client.top);
    return 0;
}
