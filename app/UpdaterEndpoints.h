#pragma once

#include <QString>
#include <QStringList>

/// The fixed addresses the updater talks to.
///
/// The publisher's and the version server's base addresses and the mirrors are set at build
/// time; the environment variable ZORVANE_UPDATER_SERVER points every address at a single server
/// instead (the local demo publisher, a staging server, the tests), and ZORVANE_UPDATER_MIRRORS
/// replaces the mirrors. With a server override and no mirrors variable there are no mirrors, so
/// a local run never reaches a public host.
struct UpdaterEndpoints {
    /// The publisher's bare host, with its port when it has one; shown in the header.
    QString SiteAddress;
    /// What the shell is given to open the site: the publisher's scheme, "://", SiteAddress.
    /// Never the bare name, which Windows could take for a local program.
    QString SiteOpenAddress;
    /// The newest client executable on the publisher's server.
    QString DownloadUrl;
    /// The servers the files under "/program_download/" are asked from, in order: the
    /// publisher's base address, then each mirror's.
    QStringList DownloadBases;
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
    /// `serverOverride` for all of them when it is not empty, and the mirrors from `mirrors`
    /// ("BASE;BASE...": each an http or https "scheme://host[:port]"; anything else in the list,
    /// a path, a query or credentials included, is left out).
    static UpdaterEndpoints From(const QString &publisherBase, const QString &versionServerBase,
                                 const QString &serverOverride, const QString &mirrors = {});

    /// The program's addresses: the build-time bases, unless ZORVANE_UPDATER_SERVER is set, and
    /// the build-time mirrors, unless ZORVANE_UPDATER_MIRRORS is set or the server is overridden.
    static const UpdaterEndpoints &Current();

    /// The path of the client under every download base.
    static const char *DownloadPath();
};
