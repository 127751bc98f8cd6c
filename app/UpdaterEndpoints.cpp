#include "UpdaterEndpoints.h"

#include <QUrl>

namespace {

constexpr auto kDownloadPath = "/program_download/Zorvane_Online_Sardel.exe";
constexpr auto kVersionPath = "/ver.php?appname=iso&ver=10";

QString WithoutTrailingSlash(QString base) {
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base;
}

QString HostWithPort(const QUrl &url) {
    QString host = url.host(QUrl::FullyEncoded);
    if (host.contains(QLatin1Char(':')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    if (url.port() != -1)
        host += QLatin1Char(':') + QString::number(url.port());
    return host;
}

} // namespace

UpdaterEndpoints UpdaterEndpoints::From(const QString &publisherBase,
                                        const QString &versionServerBase,
                                        const QString &serverOverride) {
    const QString publisher =
        WithoutTrailingSlash(serverOverride.isEmpty() ? publisherBase : serverOverride);
    const QString versionServer =
        WithoutTrailingSlash(serverOverride.isEmpty() ? versionServerBase : serverOverride);
    const QUrl publisherUrl(publisher);

    UpdaterEndpoints endpoints;
    endpoints.SiteAddress = HostWithPort(publisherUrl);
    endpoints.SiteOpenAddress =
        publisherUrl.scheme() + QStringLiteral("://") + endpoints.SiteAddress;
    endpoints.DownloadUrl = publisher + QLatin1String(kDownloadPath);
    endpoints.VersionUrl = versionServer + QLatin1String(kVersionPath);
    endpoints.ServerOverride = !serverOverride.isEmpty();
    if (endpoints.ServerOverride) {
        const QString root = endpoints.SiteOpenAddress;
        endpoints.ConnectionTestUrls = {root, root, root};
    } else {
        endpoints.ConnectionTestUrls = {QStringLiteral("http://www.google.com"),
                                        QStringLiteral("http://www.microsoft.com"),
                                        QStringLiteral("http://www.wikipedia.org")};
    }
    return endpoints;
}

const UpdaterEndpoints &UpdaterEndpoints::Current() {
    static const UpdaterEndpoints current =
        From(QStringLiteral(ZORVANE_PUBLISHER_BASE), QStringLiteral(ZORVANE_VERSION_SERVER_BASE),
             qEnvironmentVariable("ZORVANE_UPDATER_SERVER"));
    return current;
}
