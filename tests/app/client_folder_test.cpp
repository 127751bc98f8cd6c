#include "client_folder.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace {

constexpr char16_t kClient[] = u"Zorvane_Online_Sardel.exe";

TEST(ClientFolder, TheFolderHoldingTheClientWinsOverAWorkingFolderWithout) {
    harness::ScratchFolder scratch;
    const auto current = scratch.Path() / "started-in";
    const auto own = scratch.Path() / "game";
    std::filesystem::create_directories(current);
    // A folder by the client's name is no client.
    std::filesystem::create_directories(own / kClient);
    const auto updater = own / "zorvane-updater.exe";

    // Neither holds a client: a first install goes to the working folder.
    EXPECT_EQ(ChooseClientFolder(current, updater, kClient), current);
    EXPECT_EQ(ChooseClientFolder(current, {}, kClient), current);

    std::filesystem::remove(own / kClient);
    harness::WriteFile(own / kClient, "old client");
    EXPECT_EQ(ChooseClientFolder(current, updater, kClient), own);

    // Started in the client's folder as meant: that folder, wherever the updater lies.
    harness::WriteFile(current / kClient, "client");
    EXPECT_EQ(ChooseClientFolder(current, updater, kClient), current);
}

} // namespace
