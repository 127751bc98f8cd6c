// The updater's elevated copy as the tests start it: the program's own entry for that copy, with
// the key the test signed with (ZORVANE_TEST_PUBLISHER_KEY) and an empty process list, so it never
// ends a process of the machine's.
#include "elevated_copy.h"

#include <cstdlib>

namespace {

class NoProcesses final : public platform::ProcessSeam {
public:
    std::optional<std::vector<platform::ProcessEntry>> Snapshot() override {
        return std::vector<platform::ProcessEntry>{};
    }
    bool Terminate(const platform::ProcessEntry &) override { return false; }
};

} // namespace

int main(int argc, char **argv) {
    NoProcesses none;
    const char *key = std::getenv("ZORVANE_TEST_PUBLISHER_KEY");
    return RunElevatedCopyIfAsked(argc, argv, key ? key : "", none).value_or(1);
}
