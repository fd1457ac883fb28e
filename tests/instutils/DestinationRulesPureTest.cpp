// The destination folder as typed, tidied, and what keeps the setup from
// installing into it.
#include "instutils/DestinationRules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace qwp {
namespace {

using F = DestinationFault;

struct DestinationCase {
    const char* typed;
    const char* folder;
    F fault;
};

TEST(DestinationRules, TidiesTheFolderAndNamesItsFirstFault) {
    const DestinationCase cases[] = {
        // Relative texts are given back with only their slashes turned.
        {R"(C:foo)", R"(C:foo)", F::DriveRelative},
        {R"(c:Apps\x)", R"(c:Apps\x)", F::DriveRelative},
        {R"(c:Apps/x)", R"(c:Apps\x)", F::DriveRelative},
        {R"(\Apps)", R"(\Apps)", F::DriveRelative},
        {R"(1:\Apps)", R"(1:\Apps)", F::InvalidCharacter},
        // Drive roots, dots and doubled or forward slashes.
        {R"(C:)", R"(C:\)", F::None},
        {R"(C:\)", R"(C:\)", F::None},
        {R"(d:\Apps)", R"(d:\Apps)", F::None},
        {R"(C:\Apps\..)", R"(C:\)", F::None},
        {R"(C:\Apps\.\Sub\)", R"(C:\Apps\Sub)", F::None},
        {R"(C:/Apps//Sub/)", R"(C:\Apps\Sub)", F::None},
        {R"(C:\\\Apps\.)", R"(C:\Apps)", F::None},
        {R"(C:\..\..)", R"(C:\)", F::None},
        {R"(C:\Apps\Sub\..\..\..\Other)", R"(C:\Other)", F::None},
        {R"(C:\Program Files (x86)\Quilvane)", R"(C:\Program Files (x86)\Quilvane)", F::None},
        // Shares.
        {R"(\\srv\share\Apps\..)", R"(\\srv\share)", F::None},
        {R"(\\srv\share)", R"(\\srv\share)", F::None},
        {R"(\\srv\share\)", R"(\\srv\share)", F::None},
        {R"(//srv/share//Apps/)", R"(\\srv\share\Apps)", F::None},
        {R"(\\srv\share\..\..\x)", R"(\\srv\share\x)", F::None},
        {R"(\\srv)", R"(\\srv)", F::IncompleteShare},
        {R"(\\srv\)", R"(\\srv\)", F::IncompleteShare},
        {R"(\\)", R"(\\)", F::IncompleteShare},
        {R"(\\\srv\share)", R"(\\\srv\share)", F::IncompleteShare},
        {R"(\\srv\\share)", R"(\\srv\\share)", F::IncompleteShare},
        {R"(\\?\C:\Apps)", R"(\\?\C:\Apps)", F::InvalidCharacter},
        {R"(\\srv\nul\Apps)", R"(\\srv\nul\Apps)", F::ReservedName},
        // Device names.
        {R"(C:\con)", R"(C:\con)", F::ReservedName},
        {R"(C:\Prn\Sub)", R"(C:\Prn\Sub)", F::ReservedName},
        {R"(C:\Apps\NUL.txt)", R"(C:\Apps\NUL.txt)", F::ReservedName},
        {R"(C:\Apps\com1)", R"(C:\Apps\com1)", F::ReservedName},
        {R"(C:\Apps\lpt9.x.y)", R"(C:\Apps\lpt9.x.y)", F::ReservedName},
        {R"(C:\Apps\CON .txt)", R"(C:\Apps\CON .txt)", F::ReservedName},
        {R"(C:\Apps\COM10)", R"(C:\Apps\COM10)", F::None},
        {R"(C:\Apps\COM0)", R"(C:\Apps\COM0)", F::None},
        {R"(C:\Apps\console)", R"(C:\Apps\console)", F::None},
        {R"(C:\Apps\Aux\..\Sub)", R"(C:\Apps\Sub)", F::None},
        // Names ending in a dot or a blank, once dots are resolved.
        {R"(C:\Apps.)", R"(C:\Apps.)", F::TrailingDotOrBlank},
        {R"(C:\Apps \Sub)", R"(C:\Apps \Sub)", F::TrailingDotOrBlank},
        {R"(C:\...\x)", R"(C:\...\x)", F::TrailingDotOrBlank},
        {R"(C:\Apps\.. )", R"(C:\Apps\.. )", F::TrailingDotOrBlank},
        {R"(C:\Apps.\..)", R"(C:\)", F::None},
        // Characters no name may hold.
        {R"(C:\A<b)", R"(C:\A<b)", F::InvalidCharacter},
        {R"(C:\A>b)", R"(C:\A>b)", F::InvalidCharacter},
        {R"(C:\A|b)", R"(C:\A|b)", F::InvalidCharacter},
        {R"(C:\A"b)", R"(C:\A"b)", F::InvalidCharacter},
        {R"(C:\A?b)", R"(C:\A?b)", F::InvalidCharacter},
        {R"(C:\A*b)", R"(C:\A*b)", F::InvalidCharacter},
        {R"(C:\A:b)", R"(C:\A:b)", F::InvalidCharacter},
        {"C:\\A\tb", "C:\\A\tb", F::InvalidCharacter},
        {"C:\\A\x1F", "C:\\A\x1F", F::InvalidCharacter},
        // The first name with a fault decides; within a name, characters
        // before device names before a trailing dot.
        {R"(C:\Apps.\con\A?b)", R"(C:\Apps.\con\A?b)", F::TrailingDotOrBlank},
        {R"(C:\nul?)", R"(C:\nul?)", F::InvalidCharacter},
        {R"(C:\con.)", R"(C:\con.)", F::ReservedName},
    };
    for (const DestinationCase& c : cases) {
        const CheckedDestination checked = CheckDestination(c.typed);
        EXPECT_EQ(checked.folder, c.folder) << c.typed;
        EXPECT_EQ(checked.fault, c.fault) << c.typed;
        if (c.fault == F::None) EXPECT_EQ(CheckDestination(checked.folder).folder, checked.folder) << c.typed;
    }
}

TEST(DestinationRules, DriveAndShareRoots) {
    const struct {
        const char* folder;
        bool root;
    } cases[] = {
        {R"(C:\)", true},          {R"(C:)", true},           {R"(z:\)", true},
        {R"(\\srv\share)", true},  {R"(\\srv\share\)", true}, {R"(C:\Apps)", false},
        {R"(C:foo)", false},       {R"(1:\)", false},         {R"(\\srv\share\Apps)", false},
        {R"(\\srv)", false},       {R"(\\srv\)", false},      {R"(\\)", false},
        {R"(\\srv\\share)", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDriveOrShareRoot(c.folder), c.root) << c.folder;
}

TEST(DestinationRules, EveryFaultHasItsOwnPhrase) {
    EXPECT_STREQ(DestinationFaultText(F::None), "");
    std::set<std::string> phrases;
    for (const F fault : {F::DriveRelative, F::IncompleteShare, F::ReservedName, F::TrailingDotOrBlank,
                          F::InvalidCharacter}) {
        const std::string phrase = DestinationFaultText(fault);
        EXPECT_FALSE(phrase.empty()) << static_cast<int>(fault);
        phrases.insert(phrase);
    }
    EXPECT_EQ(phrases.size(), 5u);
}

}  // namespace
}  // namespace qwp
