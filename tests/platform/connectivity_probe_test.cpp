#include "connectivity_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <vector>

namespace {

using platform::ConnectionTestTable;
using platform::InternetSeam;

/// Records every call and answers from a script.
class RecordingInternet final : public InternetSeam {
public:
    bool connected = false;
    std::uint32_t flags = 0;
    bool queryOk = true;
    std::uint32_t state = 0;
    std::vector<std::u16string> reachable;
    std::vector<std::string> calls;
    std::vector<std::u16string> checked;
    /// When set, the first forced connection asks the probe to stop (a window closing meanwhile).
    std::stop_source *stopDuringCheck = nullptr;

    bool GetConnectedState(std::uint32_t &f) override {
        calls.push_back("GetConnectedState");
        f = flags;
        return connected;
    }
    bool QueryConnectedState(std::uint32_t &s) override {
        calls.push_back("QueryConnectedState");
        s = state;
        return queryOk;
    }
    bool CheckConnection(const std::u16string &url, std::stop_token) override {
        calls.push_back("CheckConnection");
        checked.push_back(url);
        if (stopDuringCheck != nullptr) {
            stopDuringCheck->request_stop();
            return false;
        }
        return std::find(reachable.begin(), reachable.end(), url) != reachable.end();
    }
};

const ConnectionTestTable kUrls = {u"http://first.test", u"http://second.test",
                                   u"http://third.test"};

TEST(ConnectivityProbe, ConnectedAndOnlineAnswersAfterOneCall) {
    RecordingInternet internet;
    internet.connected = true;
    internet.flags = 0x02; // a LAN connection, not offline
    EXPECT_TRUE(platform::IsInternetConnected(internet, kUrls));
    EXPECT_EQ(internet.calls, std::vector<std::string>{"GetConnectedState"});
}

TEST(ConnectivityProbe, OfflineFlagFallsBackToForcedConnectionsInTableOrder) {
    RecordingInternet internet;
    internet.connected = true;
    internet.flags = platform::kConnectionOffline;
    internet.state = platform::kConnectedStateConnected;
    internet.reachable = {u"http://second.test"};
    EXPECT_TRUE(platform::IsInternetConnected(internet, kUrls));
    EXPECT_EQ(internet.checked,
              (std::vector<std::u16string>{u"http://first.test", u"http://second.test"}));
}

TEST(ConnectivityProbe, NoConnectedStateMeansNoAttempt) {
    for (const bool queryOk : {true, false}) {
        RecordingInternet internet;
        internet.queryOk = queryOk;
        internet.state = queryOk ? 0x0 : platform::kConnectedStateConnected;
        EXPECT_FALSE(platform::IsInternetConnected(internet, kUrls)) << "query ok " << queryOk;
        EXPECT_TRUE(internet.checked.empty());
        EXPECT_EQ(internet.calls,
                  (std::vector<std::string>{"GetConnectedState", "QueryConnectedState"}));
    }
}

TEST(ConnectivityProbe, ThreeFailedAttemptsGiveFalse) {
    RecordingInternet internet;
    internet.state = platform::kConnectedStateConnected;
    EXPECT_FALSE(platform::IsInternetConnected(internet, kUrls));
    EXPECT_EQ(internet.checked, std::vector<std::u16string>(kUrls.begin(), kUrls.end()));
}

TEST(ConnectivityProbe, AStopDuringAForcedConnectionEndsTheProbeWithoutFurtherAttempts) {
    RecordingInternet internet;
    internet.state = platform::kConnectedStateConnected;
    std::stop_source stop;
    internet.stopDuringCheck = &stop;
    EXPECT_FALSE(platform::IsInternetConnected(internet, kUrls, stop.get_token()));
    EXPECT_EQ(internet.checked, std::vector<std::u16string>{u"http://first.test"});
}

TEST(ConnectivityProbe, AGivenServerIsAskedDirectlyWhateverTheSystemReports) {
    RecordingInternet internet; // no connection, no connected state: no internet at all
    internet.reachable = {u"http://127.0.0.1:8080"};
    EXPECT_TRUE(platform::IsServerReachable(internet, u"http://127.0.0.1:8080"));
    EXPECT_FALSE(platform::IsServerReachable(internet, u"http://127.0.0.1:9"));
    EXPECT_EQ(internet.calls, (std::vector<std::string>{"CheckConnection", "CheckConnection"}));
}

TEST(ConnectivityProbe, ThrowingSeamGivesFalse) {
    struct Throwing final : InternetSeam {
        bool GetConnectedState(std::uint32_t &) override { throw std::runtime_error("boom"); }
        bool QueryConnectedState(std::uint32_t &) override { return false; }
        bool CheckConnection(const std::u16string &, std::stop_token) override { return false; }
    } internet;
    EXPECT_FALSE(platform::IsInternetConnected(internet, kUrls));
}

} // namespace
