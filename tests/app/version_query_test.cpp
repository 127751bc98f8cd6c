// The version query of the hidden Button1 against the loopback test server: the line it adds to
// Memo1, the request it sends, failures, press order, the keyboard and closing the window.
#include "server_window_fixture.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using harness::ProcessEventsUntil;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

class VersionQuery : public harness::ServerWindowTest {
protected:
    void SetUp() override {
        ServerWindowTest::SetUp();
        MakeForm(server.Url(""));
    }

    void MakeForm(const std::string &serverBase, int codePage = 1252) {
        UpdaterServices services =
            world.Services(QString::fromStdString(serverBase), folder.Path());
        services.AnsiCodePage = codePage;
        form = std::make_unique<TForm1>(std::move(services));
    }

    QStringList MemoLines() const { return form->Memo1->toPlainText().split(QLatin1Char('\n')); }

    /// Waits until Memo1 holds `count` lines.
    void WaitForLines(qsizetype count) {
        ASSERT_TRUE(ProcessEventsUntil([&] { return MemoLines().size() >= count; }));
        EXPECT_EQ(MemoLines().size(), count);
    }
};

TEST_F(VersionQuery, AReplyBecomesTheLineAfterMemo1AndTheRequestCarriesTheQueryAndBothHeaders) {
    server.Enqueue(ScriptedReply::Ok("1.0.2", "text/plain"));
    form->Button1Click();
    WaitForLines(2);
    EXPECT_EQ(MemoLines(), (QStringList{QStringLiteral("Memo1"), QStringLiteral("1.0.2")}));

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].requestLine, "GET /ver.php?appname=iso&ver=10 HTTP/1.1");
    EXPECT_EQ(requests[0].Header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_EQ(requests[0].Header("Content-Encoding"), "utf-8");
    EXPECT_EQ(requests[0].Header("Accept"), "text/html, */*");
    EXPECT_EQ(requests[0].Header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_TRUE(world.messages.shown.empty());
}

TEST_F(VersionQuery, AUtf8PersianReplyShowsAsItsAnsiReadingByteForByte) {
    MakeForm(server.Url(""), 1256);
    // "سلام" in UTF-8, each of its eight bytes read through code page 1256.
    server.Enqueue(ScriptedReply::Ok("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85", "text/plain"));
    form->Button1Click();
    WaitForLines(2);
    EXPECT_EQ(MemoLines()[1],
              QString::fromUtf16(u"\u0637\u00B3\u0638\u201E\u0637\u00A7\u0638\u2026"));
    EXPECT_NE(MemoLines()[1], QString::fromUtf16(u"\u0633\u0644\u0627\u0645"));
}

TEST_F(VersionQuery, HttpGetKeepsZeroBytesAndLeavesTheReplyAsItWasOnEveryFailure) {
    const std::string longest =
        std::string("a\0b\0", 4) + std::string(MaxVersionReplySize - 4, 'v');
    server.Enqueue(ScriptedReply::Ok(longest, "text/plain"));
    QString reply = QStringLiteral("before");
    form->HttpGet(QString::fromStdString(server.Url("/ver.php")), reply);
    EXPECT_EQ(reply, QString::fromUtf16(u"a\0b\0", 4) + QString(MaxVersionReplySize - 4, u'v'));

    server.Enqueue(ScriptedReply::Status(404, "Not Found", "no such page"));
    server.Enqueue(ScriptedReply::Redirect(302, server.Url("/elsewhere")));
    server.Enqueue(ScriptedReply::Ok(longest + 'v', "text/plain"));
    server.Enqueue(ScriptedReply::Ok("elsewhere"));
    for (int i = 0; i < 3; ++i) {
        reply = QStringLiteral("kept");
        form->HttpGet(QString::fromStdString(server.Url("/ver.php")), reply);
        EXPECT_EQ(reply, QStringLiteral("kept")) << "failure " << i;
    }
    EXPECT_EQ(server.Requests().size(), 4u) << "a redirect is not followed";
}

TEST_F(VersionQuery, ANotFoundReplyOrAnUnreachableServerAddsAnEmptyLine) {
    server.Enqueue(ScriptedReply::Status(404, "Not Found", "no such page"));
    form->Button1Click();
    WaitForLines(2);

    // A port where nothing listens any more.
    std::string closedBase;
    {
        TestHttpServer gone;
        closedBase = gone.Url("");
    }
    MakeForm(closedBase);
    form->Button1Click();
    WaitForLines(2);
    EXPECT_EQ(MemoLines(), (QStringList{QStringLiteral("Memo1"), QString()}));
    EXPECT_TRUE(world.messages.shown.empty());
}

TEST_F(VersionQuery, PressesAddTheirLinesInPressOrderAndNeverRemoveOne) {
    ScriptedReply slow = ScriptedReply::Ok("first", "text/plain");
    slow.paceBytes = 1;
    slow.paceInterval = std::chrono::milliseconds(20);
    server.Enqueue(slow);
    server.Enqueue(ScriptedReply::Status(500, "Internal Server Error"));
    server.Enqueue(ScriptedReply::Ok("third", "text/plain"));
    for (int i = 0; i < 3; ++i)
        form->Button1Click();
    // The presses return at once: the window has not waited for any reply.
    EXPECT_EQ(MemoLines().size(), 1);
    WaitForLines(4);
    EXPECT_EQ(MemoLines(), (QStringList{QStringLiteral("Memo1"), QStringLiteral("first"), QString(),
                                        QStringLiteral("third")}));
}

TEST_F(VersionQuery, EnterOrSpaceRightAfterStartUpRunsTheQueryOfTheHiddenButton) {
    server.Enqueue(ScriptedReply::Ok("by Enter", "text/plain"));
    server.Enqueue(ScriptedReply::Ok("by Space", "text/plain"));
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    ASSERT_EQ(QApplication::focusWidget(), form->Button1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    WaitForLines(2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    WaitForLines(3);
    EXPECT_EQ(MemoLines(), (QStringList{QStringLiteral("Memo1"), QStringLiteral("by Enter"),
                                        QStringLiteral("by Space")}));
}

TEST_F(VersionQuery, ClosingTheWindowCancelsAStalledQueryAndDropsTheWaitingOnes) {
    ScriptedReply stalled = ScriptedReply::Ok("never", "text/plain");
    stalled.stallBeforeHeaders = true;
    server.Enqueue(stalled);
    server.Enqueue(ScriptedReply::Ok("not asked", "text/plain"));
    form->Button1Click();
    form->Button1Click();
    ASSERT_TRUE(ProcessEventsUntil([&] { return server.Requests().size() == 1; }));
    form->close(); // cancels the transfer and joins the query thread
    QCoreApplication::processEvents();
    EXPECT_EQ(MemoLines(), QStringList{QStringLiteral("Memo1")});
    EXPECT_EQ(server.Requests().size(), 1u);
    form.reset();
}

} // namespace
