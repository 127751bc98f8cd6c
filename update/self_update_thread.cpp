#include "self_update_thread.h"

#include "TIdHTTP.h"
#include "continuation_wait.h"
#include "proxy_cache.h"
#include "server_list.h"

#include <memory>

namespace {

TSelfUpdateOutcome RunSelfUpdate(const TSelfUpdateSettings &settings, const std::stop_token &stop) {
    try {
        TIdHTTP http;
        http.SetConnectTimeout(settings.ConnectTimeout);
        http.SetStallTimeout(settings.StallTimeout);
        http.OnRequestEnd = settings.OnRequestEnd;
        if (settings.Proxy) {
            auto cache = std::make_shared<platform::ProxyCache>(*settings.Proxy, stop);
            http.SetProxyLookup([cache](const std::string &url) { return cache->ProxyFor(url); });
        }
        TServerList servers(settings.ServerBases);
        TContinuationWait continuation(settings.ContinuationPauses);
        return UpdateSelf(http, servers, settings.OwnFile, settings.ServerFileName,
                          settings.OwnVersion, settings.PublisherKey, &continuation, stop,
                          settings.Log);
    } catch (const std::exception &) {
        return TSelfUpdateOutcome::Failed;
    }
}

} // namespace

TSelfUpdateThread::~TSelfUpdateThread() {
    Finish(std::chrono::milliseconds(0));
}

void TSelfUpdateThread::Start(TSelfUpdateSettings settings) {
    std::lock_guard lock(mutex_);
    if (started_)
        return;
    started_ = true;
    thread_ = std::jthread([this, settings = std::move(settings)](std::stop_token stop) {
        const TSelfUpdateOutcome outcome = RunSelfUpdate(settings, stop);
        {
            std::lock_guard ending(mutex_);
            outcome_ = outcome;
        }
        ended_.notify_all();
    });
}

std::optional<TSelfUpdateOutcome> TSelfUpdateThread::Finish(std::chrono::milliseconds limit) {
    {
        std::unique_lock lock(mutex_);
        if (!started_)
            return std::nullopt;
        ended_.wait_for(lock, limit, [this] { return outcome_.has_value(); });
    }
    thread_.request_stop();
    if (thread_.joinable())
        thread_.join();
    return outcome_;
}
