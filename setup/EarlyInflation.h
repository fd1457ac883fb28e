// The payload inflated on a thread of its own from the start of a run that
// will show windows, while the process starts COM, its log and the libraries
// its windows draw with: a large product's wait mostly hides behind them.
// Inflating writes nothing, so a run that ends before its catalogue (a second
// setup, the usage) has done no harm; it only waits for the thread at its end.
// A run without windows has nothing to do beside it and spares itself the
// thread (under Wine a thread alone takes 1.4 MB): it inflates when asked.
#pragma once

#include "instutils/BackgroundTask.h"
#include "payload/AttachFiles.h"

#include <optional>

namespace qwp {

class EarlyInflation {
public:
    explicit EarlyInflation(bool early);
    EarlyInflation(const EarlyInflation&) = delete;
    EarlyInflation& operator=(const EarlyInflation&) = delete;

    // The inflated payload: waited for, or inflated now. Once only.
    InflatedPayload Take();

private:
    static void Inflate(void* self);

    InflatedPayload payload_;
    std::optional<BackgroundTask> inflating_;
};

}  // namespace qwp
