#pragma once

#include "TIdHTTP.h"

#include <cstdint>
#include <vector>

/// Records the progress events of one client, in order, for assertions.
struct WorkEventLog {
    enum Kind { Begin, Work, End };
    struct Event {
        Kind kind;
        TWorkMode mode;
        std::int64_t value; // countMax for Begin, count for Work, 0 for End
    };
    std::vector<Event> events;

    void Attach(TIdHTTP &http) {
        http.OnWorkBegin = [this](TIdHTTP &, TWorkMode mode, std::int64_t max) {
            events.push_back({Begin, mode, max});
        };
        http.OnWork = [this](TIdHTTP &, TWorkMode mode, std::int64_t count) {
            events.push_back({Work, mode, count});
        };
        http.OnWorkEnd = [this](TIdHTTP &, TWorkMode mode) { events.push_back({End, mode, 0}); };
    }

    int CountOf(Kind kind) const {
        int n = 0;
        for (const auto &e : events)
            n += e.kind == kind ? 1 : 0;
        return n;
    }
};
