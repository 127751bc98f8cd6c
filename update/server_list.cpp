#include "server_list.h"

#include <algorithm>

namespace {

std::string WithoutTrailingSlash(std::string base) {
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

} // namespace

TServerList::TServerList(const std::vector<std::string> &bases) {
    for (const std::string &given : bases) {
        std::string base = WithoutTrailingSlash(given);
        if (!base.empty() && std::find(bases_.begin(), bases_.end(), base) == bases_.end())
            bases_.push_back(std::move(base));
    }
}

TServerList TServerList::Of(const std::string &url) {
    const auto parts = SplitBaseAndPath(url);
    return TServerList({parts ? parts->first : url});
}

std::string TServerList::UrlOf(std::size_t server, const std::string &path) const {
    return bases_.at(server) + path;
}

std::optional<std::size_t> TServerList::ServerOf(const std::string &url,
                                                 const std::string &path) const {
    for (std::size_t server = 0; server < bases_.size(); ++server)
        if (UrlOf(server, path) == url)
            return server;
    return std::nullopt;
}

bool TServerList::Reachable(std::size_t server) const {
    std::lock_guard lock(mutex_);
    return unreachable_.count(server) == 0;
}

void TServerList::MarkUnreachable(std::size_t server) {
    std::lock_guard lock(mutex_);
    unreachable_.insert(server);
}

std::vector<std::size_t> TServerList::AskingOrder(std::optional<std::size_t> first) const {
    std::vector<std::size_t> order;
    if (first && *first < bases_.size() && Reachable(*first))
        order.push_back(*first);
    for (std::size_t server = 0; server < bases_.size(); ++server)
        if (server != first && Reachable(server))
            order.push_back(server);
    return order;
}

std::optional<std::pair<std::string, std::string>> SplitBaseAndPath(const std::string &url) {
    const auto scheme = url.find("://");
    if (scheme == std::string::npos)
        return std::nullopt;
    const auto path = url.find_first_of("/?#", scheme + 3);
    if (path == std::string::npos)
        return std::make_pair(url, std::string("/"));
    return std::make_pair(url.substr(0, path), url.substr(path));
}
