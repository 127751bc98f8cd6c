/// Holds a file open the way an antivirus scanner or a second player might: reading and writing
/// shared, deletion (and so renaming over it) not. Writes "holding.marker" in the current folder
/// once the file is open, then waits (at most five minutes) until it is ended.
///   hold_file.exe FILE
#include <windows.h>

int wmain(int argc, wchar_t **argv) {
    if (argc != 2)
        return 2;
    HANDLE held = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    HANDLE marker = CreateFileW(L"holding.marker", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (marker != INVALID_HANDLE_VALUE)
        CloseHandle(marker);
    Sleep(5 * 60 * 1000);
    CloseHandle(held);
    return 0;
}
