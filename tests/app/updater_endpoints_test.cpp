#include "UpdaterEndpoints.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdaterEndpoints, BuildTimeBasesGiveDistinctHosts) {
    const auto endpoints =
        UpdaterEndpoints::From(QStringLiteral("http://zorvane.example"),
                               QStringLiteral("http://version.zorvane.example/"), QString());
    EXPECT_EQ(endpoints.SiteAddress, QStringLiteral("zorvane.example"));
    EXPECT_EQ(endpoints.SiteOpenAddress, QStringLiteral("http://zorvane.example"));
    EXPECT_EQ(endpoints.DownloadUrl,
              QStringLiteral("http://zorvane.example/program_download/Zorvane_Online_Sardel.exe"));
    EXPECT_EQ(endpoints.VersionUrl,
              QStringLiteral("http://version.zorvane.example/ver.php?appname=iso&ver=10"));
    ASSERT_EQ(endpoints.ConnectionTestUrls.size(), 3);
    for (const QString &url : endpoints.ConnectionTestUrls) {
        EXPECT_TRUE(url.startsWith(QStringLiteral("http://")));
        EXPECT_FALSE(url.mid(7).contains(QLatin1Char('/'))) << url.toStdString();
    }
}

TEST(UpdaterEndpoints, OneServerOverridesEveryAddressAndKeepsItsPortAndScheme) {
    const auto endpoints = UpdaterEndpoints::From(QStringLiteral("http://zorvane.example"),
                                                  QStringLiteral("http://version.zorvane.example"),
                                                  QStringLiteral("https://127.0.0.1:8080/"));
    EXPECT_EQ(endpoints.SiteAddress, QStringLiteral("127.0.0.1:8080"));
    EXPECT_EQ(endpoints.SiteOpenAddress, QStringLiteral("https://127.0.0.1:8080"));
    EXPECT_EQ(endpoints.DownloadUrl,
              QStringLiteral("https://127.0.0.1:8080/program_download/Zorvane_Online_Sardel.exe"));
    EXPECT_EQ(endpoints.VersionUrl,
              QStringLiteral("https://127.0.0.1:8080/ver.php?appname=iso&ver=10"));
    EXPECT_TRUE(endpoints.ServerOverride);
    EXPECT_EQ(endpoints.ConnectionTestUrls,
              QStringList(3, QStringLiteral("https://127.0.0.1:8080")));

    // Mirrors follow the publisher; an entry that is not a bare web server's address is left out.
    const auto mirrored = UpdaterEndpoints::From(
        QStringLiteral("http://zorvane.example"), QString(), QString(),
        QStringLiteral("https://m1.example:8443/; ftp://m2.example;http://u:p@m3.example;"
                       "http://m4.example/path;http://zorvane.example;http://[::1]:81"));
    EXPECT_EQ(mirrored.DownloadBases,
              QStringList({QStringLiteral("http://zorvane.example"),
                           QStringLiteral("https://m1.example:8443"),
                           QStringLiteral("http://[::1]:81")}));

    const auto ipv6 =
        UpdaterEndpoints::From(QStringLiteral("http://[::1]:9000"), QString(), QString());
    EXPECT_EQ(ipv6.SiteAddress, QStringLiteral("[::1]:9000"));
}

} // namespace
