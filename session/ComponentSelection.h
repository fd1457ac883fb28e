// Which of the six components an installation takes, in the one form the
// whole run uses. It is made from the value stored by the last run
// ("COMPS (1.6.6.2)"), changed by the components page, handed to the plan as
// one byte and stored again:
// - component 0, the word processor itself, is always installed, and is
//   stored as not chosen (its list row is greyed, not checked);
// - components 1 to 5 are chosen exactly when their bit is set;
// - bits 6 to 31 of the stored value belong to no component and are carried
//   through unchanged.
#pragma once

#include <cstdint>

namespace qwp {

class ComponentSelection {
public:
    static constexpr int kCount = 6;
    // Every component: bits 0 to 30 set, bit 31 clear.
    static constexpr std::uint32_t kDefaultStored = 0x7FFFFFFF;

    explicit ComponentSelection(std::uint32_t stored = kDefaultStored) : stored_(stored) {}

    // The word processor: installed whatever the choice.
    static bool IsFixed(int component) { return component == 0; }

    bool IsChosen(int component) const;
    // A component outside 1 to 5 is left as it is.
    void Choose(int component, bool chosen);

    // The install plan's byte: bit n set for each component n installed.
    std::uint8_t PlanBits() const;
    // The value to store for the next run.
    std::uint32_t StoredValue() const;

    bool operator==(const ComponentSelection& other) const { return StoredValue() == other.StoredValue(); }

private:
    static std::uint32_t Bit(int component) { return std::uint32_t{1} << component; }

    std::uint32_t stored_;  // bit 0 as read; IsChosen and StoredValue apply the rules
};

}  // namespace qwp
