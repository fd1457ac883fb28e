// The component selection from the stored value to the plan's byte and back.
#include "session/ComponentSelection.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace qwp {
namespace {

struct SelectionCase {
    std::uint32_t stored;
    std::uint8_t planBits;     // component 0 is always in the plan
    std::uint32_t storedBack;  // unchanged selection: bit 0 clear, bits 6 to 31 carried
};

TEST(ComponentSelection, FromTheStoredValueToThePlanAndBack) {
    const SelectionCase cases[] = {
        {0x7FFFFFFF, 0x3F, 0x7FFFFFFE},  // the default: everything
        {0x80000025, 0x25, 0x80000024},  // spellchecker off, templates and clip library off
        {0x00000000, 0x01, 0x00000000},  // nothing stored chosen: the word processor still goes in
        {0xFFFFFFC1, 0x01, 0xFFFFFFC0},  // only the high bits and bit 0
        {0x0000003E, 0x3F, 0x0000003E},
    };
    for (const SelectionCase& c : cases) {
        const ComponentSelection selection(c.stored);
        EXPECT_EQ(selection.PlanBits(), c.planBits) << std::hex << c.stored;
        EXPECT_EQ(selection.StoredValue(), c.storedBack) << std::hex << c.stored;
        EXPECT_TRUE(selection.IsChosen(0)) << std::hex << c.stored;
        for (int n = 1; n < ComponentSelection::kCount; ++n)
            EXPECT_EQ(selection.IsChosen(n), ((c.stored >> n) & 1u) != 0) << std::hex << c.stored << " component " << n;
    }
}

TEST(ComponentSelection, ChoosingChangesOnlyComponentsOneToFive) {
    ComponentSelection selection(0xA5A5A5BF);
    selection.Choose(4, false);  // clip library off
    selection.Choose(2, false);
    selection.Choose(2, true);   // and back on
    selection.Choose(0, false);  // the word processor cannot be left out
    selection.Choose(6, true);   // no component: the carried bits stay
    selection.Choose(-1, false);
    EXPECT_TRUE(selection.IsChosen(0));
    EXPECT_FALSE(selection.IsChosen(4));
    EXPECT_FALSE(selection.IsChosen(6)) << "only six components exist";
    EXPECT_EQ(selection.PlanBits(), 0x2F);
    EXPECT_EQ(selection.StoredValue(), 0xA5A5A5AEu);
    EXPECT_EQ(ComponentSelection().StoredValue(), 0x7FFFFFFEu) << "the default, as a first run stores it";
}

}  // namespace
}  // namespace qwp
