// One whole update against a real nginx on loopback: the real shell starts the downloaded client.
#include "form_harness.h"
#include "nginx_server.h"
#include "window_texts.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include "tick_count.h"

using harness::kClientName;
using harness::ProcessEventsUntil;

namespace {

/// Starts programs through the real shell but only records web addresses (no browser in tests).
class ProgramsOnlyShell final : public platform::ShellSeam {
public:
    bool Open(const std::u16string &target, std::uintptr_t) override {
        if (target.starts_with(u"http://") || target.starts_with(u"https://")) {
            sites.push_back(QString::fromStdU16String(target));
            return true;
        }
        started.start();
        return platform::SystemShell().Open(target);
    }
    QStringList sites;
    QElapsedTimer started;
};

/// A client that shows it started: a line on its output and a marker file beside itself. The
/// padding after `exit` makes it a multi-megabyte download.
std::string SampleClient(std::size_t size) {
    std::string script = "#!/bin/sh\n"
                         "echo 'Zorvane client started'\n"
                         "touch \"$(dirname \"$0\")/client-started.marker\"\n"
                         "exit 0\n";
    std::string line = "# padding 0123456789abcdefghijklmnopqrstuvwxyz\n";
    while (script.size() + line.size() <= size)
        script += line;
    script.append(size - script.size(), '#');
    return script;
}

TEST(EndToEnd, AnUpdateFromNginxArrivesWholeStartsTheClientAndEndsTheProgram) {
    harness::EnsureApplication();
    testsupport::NginxServer nginx;
    ASSERT_TRUE(nginx.Running()) << nginx.Error();
    const std::string client = SampleClient(6 * 1024 * 1024 + 123);
    nginx.Serve("program_download/" + kClientName, client);

    harness::FakeWorld world;
    harness::ScratchFolder folder;
    harness::WriteFile(folder.Path() / kClientName, "#!/bin/sh\necho old\n");
    ProgramsOnlyShell shell;
    UpdaterServices services =
        world.Services(QString::fromStdString(nginx.BaseUrl()), folder.Path());
    services.Shell = &shell;
    services.Tick = [] { return platform::GetTickCount(); };
    qint64 quitDelay = -1;
    services.Quit = [&] {
        quitDelay = shell.started.elapsed();
        ++world.quits;
    };
    TForm1 form(std::move(services));
    form.show();

    form.BitBtn1->click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return world.quits > 0; }, std::chrono::seconds(60)));

    EXPECT_EQ(harness::ReadFile(folder.Path() / kClientName), client);
    ASSERT_EQ(world.messages.shown.size(), 1u);
    EXPECT_EQ(world.messages.shown[0].Text, WindowText::UpdateSucceeded());
    EXPECT_EQ(shell.sites, QStringList{QString::fromStdString(nginx.BaseUrl())});
    EXPECT_TRUE(ProcessEventsUntil(
        [&] { return std::filesystem::exists(folder.Path() / "client-started.marker"); }));
    // The exit timer fires once, half a second after the client was started.
    EXPECT_EQ(form.Timer1->interval(), 500);
    EXPECT_GE(quitDelay, 450);

    const QString total = QString::number(client.size());
    EXPECT_EQ(form.Label2->text(), total);
    EXPECT_EQ(form.ProgressBar1->Text(), QStringLiteral("100%"));
    EXPECT_TRUE(form.status->text().endsWith(QStringLiteral(" KB/s")))
        << form.status->text().toStdString();
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{kClientName, "client-started.marker"}));
}

} // namespace
