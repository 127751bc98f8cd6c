#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace platform {

/// Creates a new, empty file beside `target`, named "<target>.<16 hexadecimal digits>.tmp" with
/// digits from the system's random source, so nobody can plant a file or a link at the name in
/// advance. Created exclusively and without following links (POSIX `O_CREAT|O_EXCL|O_NOFOLLOW`,
/// Windows `CREATE_NEW` with reparse points not followed), readable and writable by its owner
/// only on POSIX. Throws `std::system_error` when no such file can be made (read-only folder).
std::filesystem::path CreateTemporaryFileBeside(const std::filesystem::path &target);

/// Writes `bytes` to a new temporary file beside `path` and renames it into place, so a reader
/// sees the old file or the whole new one, and a link planted at `path` is replaced, never
/// written through. False, with nothing left behind, when any step fails. Never throws.
bool WriteFileByRename(const std::filesystem::path &path, const std::string &bytes);

/// True when `name` is one that `CreateTemporaryFileBeside` gives beside `target` or beside a
/// companion of it ("<target>.<anything>.<16 hex>.tmp"): files this updater made.
bool IsTemporaryNameOf(const std::filesystem::path &name, const std::filesystem::path &target);

/// Removes the temporary files of `target` and its companions that a killed run left behind:
/// regular files only (never a link or a folder), never anything else.
void RemoveLeftoverTemporaryFiles(const std::filesystem::path &target);

/// True when `path` is a plain file of this user: a regular file (not a link, not a reparse
/// point), with one name only (no hard link elsewhere), owned by the user this process runs as
/// or for (Windows: the owner its own new files get, or its user; POSIX: its effective or real
/// user). Checked on the opened file, not by name.
bool IsOwnPlainFile(const std::filesystem::path &path);

/// Opens `path` for appending, creating it when missing (POSIX: readable and writable by its
/// owner only), never through a link, and only when it is a plain file of this user as
/// `IsOwnPlainFile` means it: anything else at the name was not made by this program. Null when
/// it cannot be opened so. The caller closes the file.
std::FILE *OpenOwnFileForAppending(const std::filesystem::path &path);

/// Opens `path` for reading only when it is a plain file of this user as `IsOwnPlainFile` means
/// it, checked on the opened file: a file another user planted or linked there is never read.
/// Null otherwise. The caller closes the file.
std::FILE *OpenOwnFileForReading(const std::filesystem::path &path);

/// True when `error` (from the functions above) says this user may not create or change files
/// there (Windows: access denied; POSIX: EACCES, EPERM), as in a folder only an administrator
/// writes.
bool IsPermissionRefusal(const std::error_code &error);

/// The permission bits a client put at `target` should get: those of the file there now, or the
/// folder's usual ones for a new executable (all but the process's umask). Nothing on Windows,
/// where a file takes its folder's access rules.
std::optional<std::filesystem::perms> ClientPermissions(const std::filesystem::path &target);

} // namespace platform
