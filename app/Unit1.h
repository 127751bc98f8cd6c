#pragma once

#include "continuation_wait.h"
#include "header_controls.h"
#include "message_box.h"
#include "progress_relay.h"
#include "progress_text.h"
#include "updater_services.h"
#include "version_query.h"
#include "window_widgets.h"

#include "TIdHTTP.h"
#include "TIdThreadComponent.h"

#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

/// The client program's executable file name.
inline constexpr char16_t ClientExeName[] = u"Zorvane_Online_Sardel.exe";
/// The updater's own file as the publisher serves it under "/program_download/".
#ifdef _WIN32
inline constexpr char UpdaterServerName[] = "zorvane-updater.exe";
#else
inline constexpr char UpdaterServerName[] = "zorvane-updater";
#endif
/// The longest reply of the version query the window keeps in memory; a longer one is a failure
/// like any other (the reply stays as it was).
inline constexpr std::int64_t MaxVersionReplySize = 64 * 1024;

/// True when the internet can be reached (the system's seam and the program's test addresses).
bool IsInternetConnected();
/// Ends every running process named `ExeName`; true when the last termination succeeded.
bool TerminateProcessByName(const std::u16string &ExeName);

/// The updater's one window: a Persian, right-to-left dialog with the download button, the
/// progress bar and the bottom bar with speed and volume, plus the hidden diagnostics controls.
///
/// The constructor creates every control in the window description's order with its values.
/// The update flow: `BitBtn1Click` opens the site and probes the connection off the main thread;
/// the worker downloads into a temporary file beside the client, replaces it and asks for the
/// success box; `Timer1Timer` ends the application 500 ms after the client was started. Only the
/// main thread touches widgets; the worker hands values over with queued calls.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    /// Where one press of the download button stands.
    enum class TFlowState { Idle, Probing, Downloading, Confirming, Ending };

    explicit TForm1(UpdaterServices services = UpdaterServices::System(),
                    QWidget *parent = nullptr);
    /// Cancels a running download, releases a worker waiting for the success box and joins every
    /// thread the window started.
    ~TForm1() override;
    /// Sorts ahead, on the calling thread, what the window's faces fall back to where they are
    /// missing; needs only the font configuration, not the application object.
    static void PrepareFaces();

    std::unique_ptr<TIdHTTP> IdHTTP1;
    std::unique_ptr<TIdThreadComponent> IdThreadComponent1;
    QPushButton *Button1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *Button3 = nullptr;
    BevelPanel *Panel1 = nullptr;
    GlyphButton *BitBtn1 = nullptr;
    AutoSizeLabel *Label1 = nullptr;
    ShapeWidget *Shape1 = nullptr;
    TSmoothPanelControl *AdvSmoothPanel3 = nullptr;
    TSmoothLabelControl *AdvSmoothLabel1 = nullptr;
    AutoSizeLabel *Label3 = nullptr;
    QProgressBar *ProgressBar2 = nullptr;
    TProgressBarControl *ProgressBar1 = nullptr;
    TSmoothLabelControl *AdvSmoothLabel2 = nullptr;
    BevelPanel *Panel2 = nullptr;
    ShapeWidget *Shape2 = nullptr;
    AutoSizeLabel *status = nullptr;
    AutoSizeLabel *Label2 = nullptr;
    AutoSizeLabel *Label4 = nullptr;
    AutoSizeLabel *Label5 = nullptr;
    QTimer *Timer1 = nullptr;

    /// Gives the window the size that hides every control at 328 or below.
    void FormShow();
    /// Main thread: opens the site on every press, then (when idle) probes the connection off
    /// the main thread and starts the download when it is reachable.
    void BitBtn1Click();
    /// Worker: downloads, replaces the client, waits for the success box, starts the client.
    void IdThreadComponent1Run(TIdThreadComponent &Sender);
    /// Main thread: the worker has ended; after a failure the button starts a new run.
    void IdThreadComponent1Terminate(TIdThreadComponent &Sender);
    /// Worker: a transfer begins; records the start tick and the progress bar's maximum.
    void IdHTTP1WorkBegin(TIdHTTP &ASender, TWorkMode AWorkMode, std::int64_t AWorkCountMax);
    /// Worker: formats elapsed time, speed and the byte count and hands them to the window.
    void IdHTTP1Work(TIdHTTP &ASender, TWorkMode AWorkMode, std::int64_t AWorkCount);
    /// Worker: the transfer ended; the window shows its final values.
    void IdHTTP1WorkEnd(TIdHTTP &ASender, TWorkMode AWorkMode);
    /// Main thread: ends the application.
    void Timer1Timer();

    /// Fetches `AURL` with an HTTP client of its own and puts the body, read in the ANSI code
    /// page, into `AReply`. On any failure `AReply` keeps the value it had. Blocks: the window
    /// calls it on its version query thread, where closing the window cancels it.
    void HttpGet(const QString &AURL, QString &AReply);
    /// Main thread: asks the version server off the main thread; its reply (empty after a
    /// failure) becomes a new last line of `Memo1`, in the order of the presses.
    void Button1Click();
    /// Main thread: ends every running "notepad.exe"; the outcome is ignored.
    void Button3Click();

    TFlowState FlowState() const { return state_; }
    /// Progress updates that reached the widgets so far (at most one per frame).
    int ProgressRepaints() const { return relay_->Applied(); }
    /// True while a broken download pauses before continuing by itself.
    bool ContinuationPausing() const { return continuation_.Waiting(); }
    /// The client file the download replaces.
    std::filesystem::path ClientPath() const;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateControls();
    /// How the window's HTTP clients find their proxy: the system's settings (none: direct).
    TIdHTTP::TProxyLookup ProxyLookup(std::stop_token stop) const;
    void ShowDownloadLabels();
    /// Worker: ends every running client before the install, writing each to the support log.
    void EndRunningClients();
    /// Adds `line` to the support log, if there is one. Any thread.
    void Log(const std::string &line) const;
    /// Shows the player a box of `kind` with `text` and writes it to the support log.
    void ShowBox(TMessageKind kind, const QString &text, std::function<void()> onDismissed);
    void ShowProgress(const ProgressView &view);
    /// Worker: after a successful press, starts the updater's own update beside the window's
    /// work (with a key, a file and a version only).
    void StartSelfUpdate();
    void Shutdown();
    // Called from other threads by name with queued calls: the call and its arguments cross
    // threads inside Qt's event queue.
    Q_INVOKABLE void ProbeFinished(bool connected);
    Q_INVOKABLE void ShowOutcome(int outcome);
    Q_INVOKABLE void AskSuccess();
    Q_INVOKABLE void StartExitTimer();
    Q_INVOKABLE void AppendVersionReply(const QString &reply);

    UpdaterServices services_;
    /// The endpoints' download servers in order (the publisher's first); set once, read by the
    /// worker.
    std::vector<std::string> downloadBases_;
    ProgressRelay *relay_ = nullptr;
    TFlowState state_ = TFlowState::Idle;
    bool shown_ = false;
    bool closing_ = false;
    std::jthread probe_;

    /// Written and read only by the worker.
    std::uint32_t StartTick = 0;
    /// The count this transfer started from (the kept bytes of a continuation); worker only.
    std::int64_t startCount_ = 0;
    ProgressScale scale_;
    /// The locale's decimal separator, read once on the main thread.
    QChar decimalPoint_;
    std::filesystem::path target_;
    /// The window's native handle for the shell: written on the main thread at each press, read
    /// by the worker when it starts the new client.
    std::atomic<std::uintptr_t> ownerWindow_{0};

    /// The pauses before a broken download continues by itself; a press cuts one short.
    TContinuationWait continuation_;

    /// The worker waits here until the success box is dismissed or the window closes.
    std::mutex successMutex_;
    std::condition_variable_any successDismissed_;
    bool successAnswered_ = false;

    /// The version queries of `Button1`, one after another off the main thread.
    VersionQueryThread versionQuery_;
};

/// The one window of the program.
extern TForm1 *Form1;
