// The window description: every control of the updater's window with its values, created in the
// description's order, plus the start-up size and the Unit1 free functions.
#include "Unit1.h"

#include "TFont.h"
#include "bitmap_file.h"
#include "built_in_key.h"
#include "client_folder.h"
#include "connectivity_probe.h"
#include "elevation_seam.h"
#include "installed_face.h"
#include "own_program.h"
#include "process_terminator.h"
#include "progress_text.h"
#include "proxy_cache.h"
#include "shell_seam.h"
#include "state_folder.h"
#include "support_log.h"
#include "support_log_lines.h"
#include "tick_count.h"
#include "window_accessibility.h"
#include "window_texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImage>
#include <QScreen>

TForm1 *Form1 = nullptr;

// The pictures are compiled into this static library: register them before the first use.
static void InitUpdaterResources() {
    Q_INIT_RESOURCE(updater);
}

namespace {

/// Tahoma for `text`, or the face drawing it in Tahoma's place where Tahoma is missing.
QFont TahomaFont(const QString &text, TColor color = clWindowText) {
    TFont font;
    font.Name = InstalledFaceFor(font.Name, text);
    font.Color = color;
    return font.ToQFont();
}

void SetTextColor(QWidget *widget, TColor color) {
    const TColor rgb = ColorToRGB(color);
    QPalette colours = widget->palette();
    colours.setColor(QPalette::WindowText, QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
    widget->setPalette(colours);
}

AutoSizeLabel *MakeLabel(const QString &caption, QWidget *parent, QRect place,
                         TColor color = clWindowText) {
    auto *label = new AutoSizeLabel(caption, parent);
    label->setFont(TahomaFont(caption, color));
    SetTextColor(label, color);
    label->PlaceAt(place.x(), place.y(), place.width(), place.height());
    return label;
}

} // namespace

platform::ConnectionTestTable ConnectionTestTableOf(const QStringList &urls) {
    platform::ConnectionTestTable table;
    for (std::size_t i = 0; i < table.size() && i < std::size_t(urls.size()); ++i)
        table[i] = urls[qsizetype(i)].toStdU16String();
    return table;
}

bool IsInternetConnected() {
    const UpdaterEndpoints &endpoints = UpdaterEndpoints::Current();
    const platform::ConnectionTestTable table = ConnectionTestTableOf(endpoints.ConnectionTestUrls);
    // Pointed at one server of its own, the updater needs that server, not the internet.
    return endpoints.ServerOverride
               ? platform::IsServerReachable(platform::SystemInternet(), table[0])
               : platform::IsInternetConnected(platform::SystemInternet(), table);
}

bool TerminateProcessByName(const std::u16string &ExeName) {
    return platform::TerminateProcessByName(platform::SystemProcesses(), ExeName);
}

UpdaterServices UpdaterServices::System() {
    UpdaterServices services;
    services.Internet = &platform::SystemInternet();
    services.Processes = &platform::SystemProcesses();
    services.Shell = &platform::SystemShell();
    services.Proxy = &platform::SystemProxy();
    services.Elevation = &platform::SystemElevation();
    services.Messages = &QtMessageBoxes();
    services.Tick = [] { return platform::GetTickCount(); };
    services.Quit = [] { QCoreApplication::quit(); };
    services.Endpoints = UpdaterEndpoints::Current();
    services.PublisherKey = std::string(verify::BuiltInPublisherKey());
    services.StateFolder = platform::UpdaterStateFolder();
    services.Log = std::make_shared<platform::SupportLog>(
        services.StateFolder.empty() ? std::filesystem::path()
                                     : services.StateFolder / platform::kSupportLogName);
    services.OwnProgram = platform::OwnProgramPath();
    services.OwnVersion = ZORVANE_UPDATER_VERSION;
    return services;
}

void TForm1::PrepareFaces() {
    // Tahoma for the labels' Persian and the window's Latin captions, B Yekan for the button's,
    // the header's face for the publisher's address.
    PrepareFallbackOrders({{TFont().Name, false},
                           {TFont().Name, true},
                           {QStringLiteral("B Yekan"), true},
                           {FirstInstalledFamily(PreferredHeaderFaces()), false}});
}

TForm1::TForm1(UpdaterServices services, QWidget *parent)
    : QWidget(parent), services_(std::move(services)), decimalPoint_(LocaleDecimalPoint()),
      continuation_(services_.ContinuationPauses) {
    InitUpdaterResources();
    InstallWindowAccessibility();
    setWindowTitle(WindowText::FormCaption());
    // A fixed dialog frame with only the close button, above other windows.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setLayoutDirection(Qt::RightToLeft);
    // The window's own captions (the off-screen buttons and text box) are Latin.
    setFont(TahomaFont(QString()));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(colours);
    setAutoFillBackground(true);
    resize(342, 256);

    CreateControls();
    DescribeWindowToScreenReaders(*this);
    // A frame of a 60 Hz display, rounded up: the repeating frame timer shows at most 59
    // updates a second, none that the screen could not show.
    relay_ = new ProgressRelay([this](const ProgressView &view) { ShowProgress(view); },
                               std::chrono::milliseconds(17), this);
}

void TForm1::CreateControls() {
    IdHTTP1 = std::make_unique<TIdHTTP>();
    IdHTTP1->SetAllowCookies(true);
    IdHTTP1->Request().Accept = "text/html, */*";
    IdHTTP1->Request().UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
    IdHTTP1->SetHTTPOptions({hoForceEncodeParams});
    IdHTTP1->SetConnectTimeout(services_.ConnectTimeout);
    IdHTTP1->SetStallTimeout(services_.StallTimeout);
    IdHTTP1->OnWorkBegin = [this](TIdHTTP &s, TWorkMode m, std::int64_t n) {
        IdHTTP1WorkBegin(s, m, n);
    };
    IdHTTP1->OnWork = [this](TIdHTTP &s, TWorkMode m, std::int64_t n) { IdHTTP1Work(s, m, n); };
    IdHTTP1->OnWorkEnd = [this](TIdHTTP &s, TWorkMode m) { IdHTTP1WorkEnd(s, m); };
    for (const QString &base : services_.Endpoints.DownloadBases)
        downloadBases_.push_back(base.toStdString());
    IdHTTP1->OnRequestEnd = [this](TIdHTTP &, const TIdHTTPRequestReport &report) {
        Log(SupportLogLine::Request(report, SupportLogLine::ServerOf(report.Url, downloadBases_)));
    };

    IdThreadComponent1 = std::make_unique<TIdThreadComponent>();
    IdThreadComponent1->SetLoop(false);
    IdThreadComponent1->SetStopMode(smTerminate);
    IdThreadComponent1->OnRun = [this](TIdThreadComponent &s) { IdThreadComponent1Run(s); };
    IdThreadComponent1->OnTerminate = [this](TIdThreadComponent &s) {
        IdThreadComponent1Terminate(s);
    };

    Button1 = new QPushButton(QStringLiteral("check fo updater "), this);
    Button1->setGeometry(223, 369, 105, 25);
    // Enter clicks the focused button as Space does, also outside a dialog.
    Button1->setAutoDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Memo1 = new QPlainTextEdit(QStringLiteral("Memo1"), this);
    Memo1->setGeometry(32, 352, 185, 89);
    Memo1->setTabChangesFocus(true);

    Button3 = new QPushButton(QStringLiteral("Button3"), this);
    Button3->setGeometry(223, 400, 75, 25);
    Button3->setAutoDefault(true);
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });

    Panel1 = new BevelPanel(TBevelCut::Raised, TBevelCut::Lowered, 2, this);
    Panel1->setGeometry(8, 8, 329, 241);

    // Fills what the bottom-aligned Panel2 leaves of the panel's client area.
    Shape1 = new ShapeWidget(0x00F4D8BD, clBlack, Panel1);
    Shape1->setGeometry(Panel1->ClientRect().adjusted(0, 0, 0, -27));

    Label1 = MakeLabel(QStringLiteral("Label1"), Panel1, {13, 65, 31, 13});
    Label1->setVisible(false);

    Label3 = MakeLabel(WindowText::ProgressLabel(), Panel1, {247, 174, 73, 13}, clBlack);

    AdvSmoothLabel2 = CreateSiteLabel(services_.Endpoints.SiteAddress, Panel1);
    AdvSmoothLabel2->setGeometry(55, 15, 230, 27);

    TFont buttonFont;
    buttonFont.Name = InstalledFaceFor(QStringLiteral("B Yekan"), WindowText::DownloadButton());
    buttonFont.Height = -13;
    buttonFont.Charset = TFontCharset::Arabic;
    const QImage picture = ReadBitmapFile(QStringLiteral(":/zorvane/download_globe.bmp"));
    BitBtn1 =
        new GlyphButton(WindowText::DownloadButton(), TransparentByBottomLeft(picture), Panel1);
    BitBtn1->setGeometry(104, 96, 130, 65);
    BitBtn1->setFont(buttonFont.ToQFont());
    BitBtn1->setCursor(Qt::PointingHandCursor);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    AdvSmoothPanel3 = CreateTitlePanel(Panel1);
    AdvSmoothPanel3->setGeometry(41, 44, 258, 43);

    AdvSmoothLabel1 = CreateTitleLabel(WindowText::ClientTitle(), AdvSmoothPanel3);
    AdvSmoothLabel1->setGeometry(14, 1, 230, 39);

    // Aligned to the bottom of the panel's client area, with a single raised bevel.
    Panel2 = new BevelPanel(TBevelCut::Raised, TBevelCut::None, 1, Panel1);
    const QRect panelClient = Panel1->ClientRect();
    Panel2->setGeometry(panelClient.left(), panelClient.bottom() + 1 - 27, panelClient.width(), 27);

    Shape2 = new ShapeWidget(0x00530000, clBlack, Panel2);
    Shape2->setGeometry(Panel2->ClientRect());

    status = MakeLabel(QStringLiteral("Label1"), Panel2, {205, 6, 31, 13}, clYellow);
    status->setVisible(false);
    Label2 = MakeLabel(QStringLiteral("Label1"), Panel2, {33, 6, 31, 13}, clYellow);
    Label2->setVisible(false);
    Label4 = MakeLabel(WindowText::SpeedLabel(), Panel2, {244, 4, 71, 13}, clLime);
    Label5 = MakeLabel(WindowText::VolumeLabel(), Panel2, {67, 6, 60, 13}, clLime);

    ProgressBar2 = new QProgressBar(this);
    ProgressBar2->setGeometry(120, 463, 163, 26);
    ProgressBar2->setValue(60);

    // A child of the window above Panel1, left of Label3.
    ProgressBar1 = CreateDownloadProgressBar(this);
    ProgressBar1->setGeometry(100, 178, 150, 23);
    ProgressBar1->raise();

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    // Tab order at window level; Panel1's own stops are the button and the panels.
    for (QWidget *w :
         {static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2),
          static_cast<QWidget *>(AdvSmoothPanel3), static_cast<QWidget *>(ProgressBar2)})
        w->setFocusPolicy(Qt::NoFocus);
    setTabOrder(Button1, Memo1);
    setTabOrder(Memo1, Button3);
    setTabOrder(Button3, BitBtn1);
}

void TForm1::showEvent(QShowEvent *event) {
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
    QWidget::showEvent(event);
}

void TForm1::FormShow() {
    // The outer 349 x 284 of the design's frame leaves this client area: everything at 328 or
    // below lies outside it.
    setFixedSize(342, 256);
    if (!focusWidget())
        Button1->setFocus();
    if (QScreen *desktop = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TForm1::closeEvent(QCloseEvent *event) {
    Shutdown();
    QWidget::closeEvent(event);
}

TIdHTTP::TProxyLookup TForm1::ProxyLookup(std::stop_token stop) const {
    platform::ProxySeam *proxy = services_.Proxy;
    if (proxy == nullptr)
        return {};
    auto cache = std::make_shared<platform::ProxyCache>(*proxy, std::move(stop));
    return [cache](const std::string &url) { return cache->ProxyFor(url); };
}

std::filesystem::path TForm1::ClientPath() const {
    if (!services_.ClientFolder.empty())
        return services_.ClientFolder / std::filesystem::path(std::u16string(ClientExeName));
    std::error_code ignored;
    const std::filesystem::path folder = ChooseClientFolder(std::filesystem::current_path(ignored),
                                                            services_.OwnProgram, ClientExeName);
    return folder / std::filesystem::path(std::u16string(ClientExeName));
}

void TForm1::Log(const std::string &line) const {
    if (services_.Log)
        services_.Log->Write(line);
}
