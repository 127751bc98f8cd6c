// A small windowless program for the Windows tests: it writes "<its own path>.started" so a test
// knows it really ran, then waits to be ended. Left alone it exits after a minute with code 3,
// which no test expects.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0 || length >= path.size())
        return 2;
    path.resize(length);
    const HANDLE marker = ::CreateFileW((path + L".started").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE)
        ::CloseHandle(marker);
    ::Sleep(60000);
    return 3;
}
