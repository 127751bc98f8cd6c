#pragma once

#include "built_in_key.h"
#include "elevation_seam.h"
#include "process_seam.h"
#include "update_download.h"

#include <optional>
#include <string>
#include <string_view>

/// The one private argument that makes the updater the elevated copy a press starts when the
/// client's folder refuses the player's writes (see staged_install.h).
inline constexpr char ElevatedCopyArgument[] = "--zorvane-elevated-install";

/// When the command line asks for the elevated copy (its private argument anywhere), does that
/// copy's whole work and returns its exit status (a `TStagedInstallStatus`); otherwise nothing,
/// and the program goes on as the window. The copy shows no window, opens and starts nothing and
/// takes nothing from its arguments: with anything besides the one argument it refuses at once.
/// It derives its places itself: the client as the window finds it (in its working folder, else
/// beside the updater), the staged client in the updater's state folder. It ends the running
/// clients through `processes` and checks the staged client against `publisherKey` (empty: a build
/// without a key, which checks nothing).
std::optional<int>
RunElevatedCopyIfAsked(int argc, char **argv,
                       std::string_view publisherKey = verify::BuiltInPublisherKey(),
                       platform::ProcessSeam &processes = platform::SystemProcesses());

/// The press's side: asks `elevation` to run the updater's file `program` as the elevated copy in
/// `clientFolder` over the window `owner`, waits (until `stop`), and gives the outcome of the
/// press: `Replaced` when it installed, `NotAuthentic` when it refused the staged client,
/// `Cancelled` when the wait was stopped, `ReplaceFailed` for the rest (declined, not started,
/// the folder refusing it too). `log` hears the request and its result.
TUpdateOutcome InstallThroughElevatedCopy(platform::ElevationSeam &elevation,
                                          const std::filesystem::path &program,
                                          const std::filesystem::path &clientFolder,
                                          std::uintptr_t owner, std::stop_token stop,
                                          const TUpdateLog &log);
