// Files of this user beside the client, with CreateFileW flags and checks on the open handle.
#include "../own_files.h"

#include <windows.h>

#include <aclapi.h>
#include <bcrypt.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace platform {

namespace {

std::wstring RandomDigits() {
    unsigned char bytes[8] = {};
    if (!BCRYPT_SUCCESS(
            ::BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(),
                                "no random source");
    wchar_t digits[17];
    for (int i = 0; i < 8; ++i)
        std::swprintf(digits + 2 * i, 3, L"%02x", bytes[i]);
    return digits;
}

struct Handle {
    HANDLE value = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE)
            ::CloseHandle(value);
    }
};

/// One piece of this process's token (TokenUser, TokenOwner), or nothing.
std::vector<unsigned char> TokenPiece(HANDLE token, TOKEN_INFORMATION_CLASS piece) {
    DWORD size = 0;
    ::GetTokenInformation(token, piece, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, piece, buffer.data(), size, &size))
        buffer.clear();
    return buffer;
}

/// True when `owner` is who this process's new files belong to: its token's default owner (an
/// elevated administrator's is the Administrators group) or its user (what Wine gives them).
bool SameOwnerAsOurFiles(PSID owner) {
    Handle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token.value))
        return false;
    const auto defaultOwner = TokenPiece(token.value, TokenOwner);
    const auto user = TokenPiece(token.value, TokenUser);
    return (!defaultOwner.empty() &&
            ::EqualSid(reinterpret_cast<const TOKEN_OWNER *>(defaultOwner.data())->Owner, owner)) ||
           (!user.empty() &&
            ::EqualSid(reinterpret_cast<const TOKEN_USER *>(user.data())->User.Sid, owner));
}

} // namespace

std::filesystem::path CreateTemporaryFileBeside(const std::filesystem::path &target) {
    for (int attempt = 0;; ++attempt) {
        std::filesystem::path path = target;
        path += L"." + RandomDigits() + L".tmp";
        Handle file;
        file.value = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                   nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file.value != INVALID_HANDLE_VALUE)
            return path;
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS || attempt >= 8)
            throw std::system_error(static_cast<int>(error), std::system_category(),
                                    "cannot create a temporary file beside " + target.string());
    }
}

namespace {

/// True when the open `file` is a plain file of this user: no reparse point, no folder, one
/// name only, owned as this process's new files are. Needs FILE_READ_ATTRIBUTES and READ_CONTROL.
bool IsOwnPlainHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file, &information) ||
        (information.dwFileAttributes &
         (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        information.nNumberOfLinks > 1) // 0: a file system (or Wine) that does not count them
        return false;
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(file, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    const bool ours = owner && SameOwnerAsOurFiles(owner);
    ::LocalFree(descriptor);
    return ours;
}

} // namespace

bool IsOwnPlainFile(const std::filesystem::path &path) {
    Handle file;
    file.value = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | READ_CONTROL,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return file.value != INVALID_HANDLE_VALUE && IsOwnPlainHandle(file.value);
}

namespace {

/// A stream over the open `file` (taken over, closed on failure too) when it is a plain file of
/// this user; null otherwise.
std::FILE *OwnFileStream(Handle &file, int flags, const char *mode) {
    if (file.value == INVALID_HANDLE_VALUE || !IsOwnPlainHandle(file.value))
        return nullptr;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file.value), flags | _O_BINARY);
    if (fd < 0)
        return nullptr;
    file.value = INVALID_HANDLE_VALUE; // the descriptor owns the handle now
    std::FILE *stream = _fdopen(fd, mode);
    if (!stream)
        _close(fd);
    return stream;
}

} // namespace

std::FILE *OpenOwnFileForAppending(const std::filesystem::path &path) {
    Handle file;
    file.value = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL,
                               FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return OwnFileStream(file, _O_APPEND | _O_WRONLY, "ab");
}

std::FILE *OpenOwnFileForReading(const std::filesystem::path &path) {
    Handle file;
    file.value = ::CreateFileW(path.c_str(), GENERIC_READ | READ_CONTROL, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    return OwnFileStream(file, _O_RDONLY, "rb");
}

bool IsPermissionRefusal(const std::error_code &error) {
    return error.category() == std::system_category() && error.value() == ERROR_ACCESS_DENIED;
}

std::optional<std::filesystem::perms> ClientPermissions(const std::filesystem::path &) {
    return std::nullopt;
}

} // namespace platform
