#include "session/ComponentSelection.h"

namespace qwp {

bool ComponentSelection::IsChosen(int component) const {
    if (IsFixed(component)) return true;
    return component > 0 && component < kCount && (stored_ & Bit(component)) != 0;
}

void ComponentSelection::Choose(int component, bool chosen) {
    if (IsFixed(component) || component < 0 || component >= kCount) return;
    stored_ = chosen ? (stored_ | Bit(component)) : (stored_ & ~Bit(component));
}

std::uint8_t ComponentSelection::PlanBits() const {
    std::uint8_t bits = 0;
    for (int n = 0; n < kCount; ++n)
        if (IsChosen(n)) bits = static_cast<std::uint8_t>(bits | Bit(n));
    return bits;
}

std::uint32_t ComponentSelection::StoredValue() const { return stored_ & ~Bit(0); }

}  // namespace qwp
