/// The client the Wine run installs: a small Windows program that shows it was started by writing
/// "client-started.marker" beside itself. Started with the argument "wait" it plays the player's
/// running copy instead: it writes "waiting-copy.marker" and waits (at most five minutes) for the
/// updater to end it.
#include <windows.h>

static void WriteMarkerBesideSelf(const wchar_t *name) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    wchar_t *slash = wcsrchr(path, L'\\');
    if (slash == NULL || (size_t)(slash + 1 - path) + wcslen(name) >= MAX_PATH)
        return;
    wcscpy(slash + 1, name);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, "started\n", 8, &written, NULL);
    CloseHandle(file);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)show;
    if (wcsstr(commandLine, L"wait") != NULL) {
        WriteMarkerBesideSelf(L"waiting-copy.marker");
        Sleep(5 * 60 * 1000);
        return 0;
    }
    WriteMarkerBesideSelf(L"client-started.marker");
    return 0;
}
