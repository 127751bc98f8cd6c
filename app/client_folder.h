#pragma once

#include <filesystem>
#include <string_view>

/// The folder whose client a press updates. The updater is meant to be started in the client's
/// folder, so the current folder comes first; but a shortcut or a shell may start it elsewhere
/// (Windows starts a program whose folder is too long for a working folder in the system
/// folder), and installing a fresh client there would report success while the player's
/// client stays old. So: the current folder when the client is there, otherwise the updater's
/// own folder when the client is there, otherwise the current folder (a first install).
/// `ownProgram` may be empty (the updater's file unknown).
std::filesystem::path ChooseClientFolder(const std::filesystem::path &currentFolder,
                                         const std::filesystem::path &ownProgram,
                                         std::u16string_view clientName);
