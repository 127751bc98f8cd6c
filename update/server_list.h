#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

/// The servers the files under "/program_download/" come from, in the order they are asked: the
/// publisher's address first, then each mirror. A server that could not be connected to is not
/// asked again while this list lives (one press). Shared by the threads of one press.
class TServerList {
public:
    /// `bases` as "scheme://host[:port]" (a trailing slash is dropped); the first is the
    /// publisher's. Empty bases are skipped; a base given twice is asked once.
    explicit TServerList(const std::vector<std::string> &bases);

    /// The list holding only the server of `url` (its scheme, host and port).
    static TServerList Of(const std::string &url);

    std::size_t Count() const { return bases_.size(); }
    const std::string &Base(std::size_t server) const { return bases_[server]; }

    /// `path` ("/program_download/...") on server `server`.
    std::string UrlOf(std::size_t server, const std::string &path) const;

    /// The server whose address for `path` is exactly `url`; nothing for an address that is not
    /// one of the configured ones.
    std::optional<std::size_t> ServerOf(const std::string &url, const std::string &path) const;

    /// False once `MarkUnreachable(server)` was called.
    bool Reachable(std::size_t server) const;
    void MarkUnreachable(std::size_t server);

    /// The servers still worth asking, in order, with `first` (when reachable) moved to the front.
    std::vector<std::size_t> AskingOrder(std::optional<std::size_t> first = std::nullopt) const;

private:
    std::vector<std::string> bases_;
    mutable std::mutex mutex_;
    std::set<std::size_t> unreachable_;
};

/// Splits "scheme://host[:port]/path?query" into its base and the rest ("/" when none); nothing
/// for an address without "://".
std::optional<std::pair<std::string, std::string>> SplitBaseAndPath(const std::string &url);
