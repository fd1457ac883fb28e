#include "setup/EarlyInflation.h"

#include <utility>

namespace qwp {

EarlyInflation::EarlyInflation(bool early) {
    if (early) inflating_.emplace(&EarlyInflation::Inflate, this);
}

void EarlyInflation::Inflate(void* self) { static_cast<EarlyInflation*>(self)->payload_ = InflateOwnPayload(); }

InflatedPayload EarlyInflation::Take() {
    if (!inflating_) return InflateOwnPayload();
    inflating_->Wait();
    inflating_.reset();
    return std::move(payload_);
}

}  // namespace qwp
