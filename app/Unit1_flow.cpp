// The update flow of the window: the button press, the probe off the main thread, the worker's
// download and replace, the progress handlers, the boxes and the exit timer.
#include "Unit1.h"

#include "connectivity_probe.h"
#include "elevated_copy.h"
#include "elevation_seam.h"
#include "process_terminator.h"
#include "progress_text.h"
#include "release_version.h"
#include "self_update_thread.h"
#include "server_list.h"
#include "shell_seam.h"
#include "support_log.h"
#include "support_log_lines.h"
#include "update_download.h"
#include "window_texts.h"

#include <QMetaObject>

void TForm1::BitBtn1Click() {
    // Every press opens the site first, whatever follows.
    ownerWindow_ = internalWinId(); // 0 while the window has no native counterpart yet
    services_.Shell->Open(services_.Endpoints.SiteOpenAddress.toStdU16String(), ownerWindow_);
    switch (state_) {
    case TFlowState::Idle:
        break;
    case TFlowState::Downloading:
        // The running download continues (at once, when it was pausing before continuing by
        // itself); the labels start over as on a fresh press.
        Log(SupportLogLine::PressWhileBusy(true));
        continuation_.ContinueNow();
        ShowDownloadLabels();
        return;
    case TFlowState::Probing:
    case TFlowState::Confirming:
    case TFlowState::Ending:
        Log(SupportLogLine::PressWhileBusy(false));
        return;
    }
    Log(SupportLogLine::PressStarted(ClientPath().parent_path()));
    state_ = TFlowState::Probing;
    if (probe_.joinable())
        probe_.join(); // the previous probe has posted its result: it has finished
    probe_ = std::jthread(
        [this, internet = services_.Internet, server = services_.Endpoints.ServerOverride,
         table =
             ConnectionTestTableOf(services_.Endpoints.ConnectionTestUrls)](std::stop_token stop) {
            // Pointed at one server of its own, the updater needs that server, not the internet.
            const bool connected = server ? platform::IsServerReachable(*internet, table[0], stop)
                                          : platform::IsInternetConnected(*internet, table, stop);
            if (stop.stop_requested())
                return; // the window is closing
            QMetaObject::invokeMethod(this, "ProbeFinished", Qt::QueuedConnection,
                                      Q_ARG(bool, connected));
        });
}

void TForm1::ProbeFinished(bool connected) {
    if (closing_ || state_ != TFlowState::Probing)
        return;
    Log(SupportLogLine::ConnectionChecked(connected));
    if (!connected) {
        state_ = TFlowState::Idle;
        ShowBox(TMessageKind::Error, WindowText::NoInternet(), {});
        return;
    }
    state_ = TFlowState::Downloading;
    target_ = ClientPath();
    {
        std::lock_guard lock(successMutex_);
        successAnswered_ = false;
    }
    IdThreadComponent1->Start();
    ShowDownloadLabels();
}

void TForm1::ShowDownloadLabels() {
    Label2->SetCaption(QString());
    status->SetCaption(QString());
    Label2->setVisible(true);
    status->setVisible(true);
}

void TForm1::IdThreadComponent1Run(TIdThreadComponent &Sender) {
    const std::stop_token stop = Sender.StopToken();
    // The system's proxy answers hold for this press and end with it.
    IdHTTP1->SetProxyLookup(ProxyLookup(stop));
    TUpdateSettings settings;
    settings.PublisherKey = services_.PublisherKey;
    settings.StateFolder = services_.StateFolder;
    settings.Continuation = &continuation_;
    settings.Log = [this](const std::string &line) { Log(line); };
    // A client folder the player cannot write is installed by an elevated copy; the client is
    // still started from here, with the player's own rights.
    if (services_.Elevation && services_.Elevation->Available() && !services_.OwnProgram.empty())
        settings.InstallElevated = [this, stop] {
            return InstallThroughElevatedCopy(*services_.Elevation, services_.OwnProgram,
                                              target_.parent_path(), ownerWindow_, stop,
                                              [this](const std::string &line) { Log(line); });
        };
    // Servers that cannot be connected to are not asked again during this press.
    TServerList servers(downloadBases_);
    const TUpdateOutcome outcome = DownloadAndReplace(
        *IdHTTP1, servers, UpdaterEndpoints::DownloadPath(), target_,
        // The running client is ended only once a complete download is ready.
        [this] { EndRunningClients(); }, stop, settings);
    Log(SupportLogLine::UpdateEnded(outcome));
    relay_->PostFlush();
    if (!UpdateSucceeded(outcome)) {
        QMetaObject::invokeMethod(this, "ShowOutcome", Qt::QueuedConnection,
                                  Q_ARG(int, int(outcome)));
        return;
    }

    StartSelfUpdate();
    QMetaObject::invokeMethod(this, "AskSuccess", Qt::QueuedConnection);
    {
        std::unique_lock lock(successMutex_);
        // Closing the window releases the wait through the stop token.
        if (!successDismissed_.wait(lock, stop, [this] { return successAnswered_; }))
            return;
    }
    const bool started = services_.Shell->Open(target_.u16string(), ownerWindow_);
    Log(SupportLogLine::ClientStarted(started));
    QMetaObject::invokeMethod(this, "StartExitTimer", Qt::QueuedConnection);
}

void TForm1::EndRunningClients() {
    bool any = false;
    platform::TerminateProcessByName(
        *services_.Processes, ClientExeName,
        [this, &any](const platform::ProcessEntry &process, bool ended) {
            any = true;
            Log(SupportLogLine::ClientEnded(process, ended));
        });
    if (!any)
        Log(SupportLogLine::NoClientRunning());
}

void TForm1::StartSelfUpdate() {
    const auto version = verify::ParseReleaseVersion(services_.OwnVersion);
    if (!services_.SelfUpdate || services_.PublisherKey.empty() || services_.OwnProgram.empty() ||
        !version)
        return;
    TSelfUpdateSettings settings;
    settings.OwnFile = services_.OwnProgram;
    settings.ServerFileName = UpdaterServerName;
    settings.OwnVersion = *version;
    settings.PublisherKey = services_.PublisherKey;
    settings.ServerBases = downloadBases_;
    settings.ConnectTimeout = services_.ConnectTimeout;
    settings.StallTimeout = services_.StallTimeout;
    settings.ContinuationPauses = services_.ContinuationPauses;
    settings.Proxy = services_.Proxy;
    // The update outlives the window: its log lines hold the log itself, never the window.
    settings.Log = [log = services_.Log](const std::string &line) {
        if (log)
            log->Write("updater's own update: " + line);
    };
    settings.OnRequestEnd = [log = services_.Log, bases = downloadBases_](
                                TIdHTTP &, const TIdHTTPRequestReport &report) {
        if (log)
            log->Write(
                SupportLogLine::Request(report, SupportLogLine::ServerOf(report.Url, bases)));
    };
    // Runs beside the success box and the client's start, and outlives the window.
    services_.SelfUpdate->Start(std::move(settings));
}

void TForm1::StartExitTimer() {
    Timer1->start();
}

void TForm1::AskSuccess() {
    state_ = TFlowState::Confirming;
    ShowBox(TMessageKind::Information, WindowText::UpdateSucceeded(), [this] {
        state_ = TFlowState::Ending;
        {
            std::lock_guard lock(successMutex_);
            successAnswered_ = true;
        }
        successDismissed_.notify_all();
    });
}

void TForm1::ShowBox(TMessageKind kind, const QString &text, std::function<void()> onDismissed) {
    Log(SupportLogLine::BoxShown(kind, text));
    services_.Messages->Show(this, kind, MessageCaption(kind), text, std::move(onDismissed));
}

void TForm1::ShowOutcome(int outcome) {
    QString text;
    switch (TUpdateOutcome(outcome)) {
    case TUpdateOutcome::ConnectionFailed:
        text = WindowText::ConnectionLost();
        break;
    case TUpdateOutcome::ServerRejected:
        text = WindowText::ServerRejected();
        break;
    case TUpdateOutcome::ReplaceFailed:
        text = WindowText::ReplaceFailed();
        break;
    case TUpdateOutcome::NotAuthentic:
        text = WindowText::NotAuthentic();
        break;
    case TUpdateOutcome::Replaced:
    case TUpdateOutcome::UpToDate:
    case TUpdateOutcome::Cancelled:
        return;
    }
    if (!closing_)
        ShowBox(TMessageKind::Warning, text, {});
}

void TForm1::IdThreadComponent1Terminate(TIdThreadComponent &) {
    // After a failure the button starts a fresh run; after a success the program is ending.
    if (state_ == TFlowState::Downloading)
        state_ = TFlowState::Idle;
}

void TForm1::IdHTTP1WorkBegin(TIdHTTP &ASender, TWorkMode, std::int64_t AWorkCountMax) {
    StartTick = services_.Tick();
    // A continuation counts on from the bytes already kept; the speed counts only what follows.
    startCount_ = ASender.ResponseRangeStart();
    scale_ = ProgressScale(AWorkCountMax);
    relay_->PublishMax(scale_.Max());
}

void TForm1::IdHTTP1Work(TIdHTTP &, TWorkMode, std::int64_t AWorkCount) {
    // Runs for every received piece: only numbers here; the texts are made once per frame.
    relay_->PublishProgress(AWorkCount, startCount_, StartTick, services_.Tick(),
                            scale_.Position(AWorkCount));
}

void TForm1::IdHTTP1WorkEnd(TIdHTTP &, TWorkMode) {
    relay_->PostFlush();
}

void TForm1::ShowProgress(const ProgressView &view) {
    if (view.HasMax)
        ProgressBar1->SetMax(view.Max);
    if (view.HasCount) {
        const ProgressTexts texts = FormatProgressTexts(view.StartTick, view.Tick, view.Count,
                                                        decimalPoint_, view.StartCount);
        status->SetCaption(texts.Status);
        Label2->SetCaption(texts.Count);
        ProgressBar1->SetPosition(view.Position);
    }
}

void TForm1::Timer1Timer() {
    services_.Quit();
}

void TForm1::Shutdown() {
    closing_ = true;
    versionQuery_.Stop();
    // A forced connection in progress is left behind; the probe thread ends at once.
    probe_.request_stop();
    // Cancels the transfer and releases a worker that waits for the success box.
    IdThreadComponent1->Stop();
    successDismissed_.notify_all();
}

TForm1::~TForm1() {
    Shutdown();
    IdThreadComponent1.reset(); // joins the worker; it removes its temporary file first
    if (probe_.joinable())
        probe_.join();
}
