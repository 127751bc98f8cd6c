// The elevated copy of the updater: started by a press with one private argument to install a
// staged client where the player may not write, and the press's side that starts it and waits.
#include "elevated_copy.h"

#include "Unit1.h"
#include "client_folder.h"
#include "own_program.h"
#include "process_terminator.h"
#include "staged_install.h"
#include "state_folder.h"
#include "support_log_lines.h"

#include <cstring>
#include <filesystem>
#include <iterator>

std::optional<int> RunElevatedCopyIfAsked(int argc, char **argv, std::string_view publisherKey,
                                          platform::ProcessSeam &processes) {
    bool asked = false;
    for (int i = 1; i < argc; ++i)
        asked = asked || std::strcmp(argv[i], ElevatedCopyArgument) == 0;
    if (!asked)
        return std::nullopt;
    if (argc != 2)
        return int(TStagedInstallStatus::BadRequest);
    // The press starts the copy in its client's folder; where the system starts it elsewhere, the
    // client beside the updater is the one, as for the window.
    std::error_code error;
    const std::filesystem::path folder = ChooseClientFolder(
        std::filesystem::current_path(error), platform::OwnProgramPath(), ClientExeName);
    const std::filesystem::path stateFolder = platform::UpdaterStateFolder();
    if (folder.empty() || stateFolder.empty())
        return int(TStagedInstallStatus::NoClientHere);
    const std::filesystem::path client = folder / std::filesystem::path(ClientExeName);
    return int(InstallStagedClient(
        StagedClientIn(stateFolder, client), client, std::string(publisherKey),
        [&processes] { platform::TerminateProcessByName(processes, ClientExeName); }));
}

TUpdateOutcome InstallThroughElevatedCopy(platform::ElevationSeam &elevation,
                                          const std::filesystem::path &program,
                                          const std::filesystem::path &clientFolder,
                                          std::uintptr_t owner, std::stop_token stop,
                                          const TUpdateLog &log) {
    LogLine(log, SupportLogLine::ElevationRequested(clientFolder));
    // The argument is ASCII: each character is its own UTF-16 unit.
    const std::u16string argument(std::begin(ElevatedCopyArgument),
                                  std::end(ElevatedCopyArgument) - 1);
    const platform::ElevatedRun run =
        elevation.RunElevated(program, argument, clientFolder, owner, stop);
    LogLine(log, SupportLogLine::ElevatedCopyEnded(run));
    switch (run.End) {
    case platform::ElevatedRun::TEnd::Exited:
        return OutcomeOfStagedInstall(run.ExitCode);
    case platform::ElevatedRun::TEnd::Abandoned:
        return TUpdateOutcome::Cancelled;
    case platform::ElevatedRun::TEnd::NotStarted:
        break;
    }
    return TUpdateOutcome::ReplaceFailed;
}
