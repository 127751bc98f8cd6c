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

/// `text` as a mirror's base address when it is one: http or https, a host, maybe a port, and
/// nothing else (no credentials, path, query or fragment).
QString MirrorBase(const QString &text) {
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    if (!url.isValid() || !web || url.host().isEmpty() || !url.userInfo().isEmpty() ||
        (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery() ||
        url.hasFragment())
        return {};
    return WithoutTrailingSlash(url.toString(QUrl::FullyEncoded));
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
                                        const QString &serverOverride, const QString &mirrors) {
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
    endpoints.DownloadBases = QStringList{publisher};
    for (const QString &entry : mirrors.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString base = MirrorBase(entry);
        if (!base.isEmpty() && !endpoints.DownloadBases.contains(base))
            endpoints.DownloadBases.append(base);
    }
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
    static const UpdaterEndpoints current = [] {
        const QString server = qEnvironmentVariable("ZORVANE_UPDATER_SERVER");
        const QString mirrors = qEnvironmentVariableIsSet("ZORVANE_UPDATER_MIRRORS")
                                    ? qEnvironmentVariable("ZORVANE_UPDATER_MIRRORS")
                                : server.isEmpty() ? QStringLiteral(ZORVANE_MIRRORS)
                                                   : QString();
        return From(QStringLiteral(ZORVANE_PUBLISHER_BASE),
                    QStringLiteral(ZORVANE_VERSION_SERVER_BASE), server, mirrors);
    }();
    return current;
}

const char *UpdaterEndpoints::DownloadPath() {
    return kDownloadPath;
}
