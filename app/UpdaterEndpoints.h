#pragma once

#include <QString>
#include <QStringList>

/// The fixed addresses the updater talks to.
///
/// The publisher's and the version server's base addresses are set at build time; the one
/// environment variable ZORVANE_UPDATER_SERVER points every address at a single server instead
/// (the local demo publisher, a staging server, the tests).
struct UpdaterEndpoints {
    /// The publisher's bare host, with its port when it has one; shown in the header.
    QString SiteAddress;
    /// What the shell is given to open the site: the publisher's scheme, "://", SiteAddress.
    /// Never the bare name, which Windows could take for a local program.
    QString SiteOpenAddress;
    /// The newest client executable.
    QString DownloadUrl;
    /// The version query on the version server.
    QString VersionUrl;
    /// Three plain HTTP root addresses of widely used public sites, tried in order when the
    /// system reports itself offline. With a server override, that server's root, three times.
    /// Tests never use the public ones.
    QStringList ConnectionTestUrls;
    /// True when one server stands in for all addresses: the connection check then asks only
    /// whether that server can be reached, so a local publisher works with no network at all.
    bool ServerOverride = false;

    /// Builds the addresses from two base addresses ("scheme://host[:port]"), or from
    /// `serverOverride` for all of them when it is not empty.
    static UpdaterEndpoints From(const QString &publisherBase, const QString &versionServerBase,
                                 const QString &serverOverride);

    /// The program's addresses: the build-time bases, unless ZORVANE_UPDATER_SERVER is set.
    static const UpdaterEndpoints &Current();
};
