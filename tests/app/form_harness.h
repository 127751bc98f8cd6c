#pragma once

// Fakes for the window's seams and helpers to drive the window in tests.
#include "Unit1.h"
#include "internet_seam.h"
#include "message_box.h"
#include "process_seam.h"
#include "scratch_folder.h"
#include "shell_seam.h"
#include "support_log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

namespace harness {

/// The client's file name, as the window downloads and replaces it.
inline const std::string kClientName = QString::fromUtf16(ClientExeName).toStdString();

/// The test process's one QApplication (offscreen), created on first use. It lives until the
/// process ends and is never destroyed: Qt's own statics may outlive it otherwise.
inline void EnsureApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "app_tests";
    static char *argv[] = {name, nullptr};
    static QApplication *application = new QApplication(argc, argv);
    (void)application;
}

/// Creates the application before the members that follow it in a fixture.
struct ApplicationFirst {
    ApplicationFirst() { EnsureApplication(); }
};

/// Runs the event loop until `done` holds or `limit` has passed; returns `done()`.
template <class Predicate>
bool ProcessEventsUntil(Predicate done,
                        std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

/// Presses the download button and runs the event loop until the run has ended either way
/// (idle after a failure, ending after a success); false when it has not within `limit`.
[[nodiscard]] inline bool
PressAndWaitForTheRunToEnd(TForm1 &form,
                           std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    form.BitBtn1Click();
    return ProcessEventsUntil(
        [&] {
            return form.FlowState() == TForm1::TFlowState::Idle ||
                   form.FlowState() == TForm1::TFlowState::Ending;
        },
        limit);
}

class FakeInternet final : public platform::InternetSeam {
public:
    std::atomic<bool> connected{true};
    bool GetConnectedState(std::uint32_t &flags) override {
        flags = 0;
        return connected;
    }
    bool QueryConnectedState(std::uint32_t &state) override {
        state = connected ? platform::kConnectedStateConnected : 0;
        return true;
    }
    bool CheckConnection(const std::u16string &, std::stop_token) override { return connected; }
};

class FakeShell final : public platform::ShellSeam {
public:
    bool Open(const std::u16string &target, std::uintptr_t) override {
        std::lock_guard lock(mutex_);
        opened_.push_back(QString::fromStdU16String(target));
        return true;
    }
    QStringList Opened() const {
        std::lock_guard lock(mutex_);
        return opened_;
    }

private:
    mutable std::mutex mutex_;
    QStringList opened_;
};

/// Reports one running client and records what was ended.
class FakeProcesses final : public platform::ProcessSeam {
public:
    std::optional<std::vector<platform::ProcessEntry>> Snapshot() override {
        return std::vector<platform::ProcessEntry>{{4242, ClientExeName}, {7, u"bash"}};
    }
    bool Terminate(const platform::ProcessEntry &process) override {
        std::lock_guard lock(mutex_);
        terminated_.push_back(process.ProcessId);
        return true;
    }
    std::vector<std::uint32_t> Terminated() const {
        std::lock_guard lock(mutex_);
        return terminated_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::uint32_t> terminated_;
};

struct ShownBox {
    TMessageKind Kind;
    QString Caption;
    QString Text;
};

/// Records every box; answers it on the next turn of the event loop unless `holdBoxes` is set.
class FakeMessages final : public MessageBoxSeam {
public:
    bool holdBoxes = false;
    std::vector<ShownBox> shown;
    std::vector<std::function<void()>> held;

    void Show(QWidget *, TMessageKind kind, const QString &caption, const QString &text,
              std::function<void()> onDismissed) override {
        shown.push_back({kind, caption, text});
        if (!onDismissed)
            return;
        if (holdBoxes)
            held.push_back(std::move(onDismissed));
        else
            QMetaObject::invokeMethod(qApp, std::move(onDismissed), Qt::QueuedConnection);
    }
};

/// A settable clock, read on the worker.
struct FakeTick {
    std::atomic<std::uint32_t> now{1000};
};

/// The fakes wired into one set of services.
struct FakeWorld {
    FakeInternet internet;
    FakeShell shell;
    FakeProcesses processes;
    FakeMessages messages;
    FakeTick tick;
    std::atomic<int> quits{0};
    /// The updater's state folder, private to the test: no release floor reaches another test.
    ScratchFolder state;

    std::filesystem::path LogFile() const { return state.Path() / platform::kSupportLogName; }

    UpdaterServices Services(const QString &server, const std::filesystem::path &folder) {
        UpdaterServices services;
        services.Internet = &internet;
        services.Shell = &shell;
        services.Processes = &processes;
        services.Messages = &messages;
        services.Tick = [this] { return tick.now.load(); };
        services.Quit = [this] { ++quits; };
        services.Endpoints = UpdaterEndpoints::From(server, server, {});
        services.ClientFolder = folder;
        services.StateFolder = state.Path();
        services.Log = std::make_shared<platform::SupportLog>(LogFile());
        // A broken download ends the run at once unless a test asks for continuations.
        services.ContinuationPauses.clear();
        return services;
    }
};

} // namespace harness
