// The destination folder as typed, tidied, and what keeps the setup from
// installing into it.
#include "instutils/DestinationRules.h"

#include "tests/instutils/CodePageTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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
                          F::InvalidCharacter, F::TooLong}) {
        const std::string phrase = DestinationFaultText(fault);
        EXPECT_FALSE(phrase.empty()) << static_cast<int>(fault);
        phrases.insert(phrase);
    }
    EXPECT_EQ(phrases.size(), 6u);
}

// Folders in the code page they were typed in: Shift-JIS names whose
// second bytes are a backslash or a bar, and the device names with a
// superscript unit where the code page has superscripts.
TEST(DestinationRules, FoldersAreReadCharacterByCharacterInTheirCodePage) {
    using test::kPortable;
    using test::kPresentation;
    using test::kTable;
    const AnsiCodePage japanese = test::ShiftJis(), western = test::Windows1252(), korean = test::Korean();
    const std::string presentation = std::string("C:\\") + kPresentation;
    const std::string share = std::string("\\\\srv") + kTable + "\\sh" + kTable;
    const struct {
        const AnsiCodePage* codePage;
        std::string typed;
        std::string folder;
        F fault;
    } cases[] = {
        {&japanese, std::string("C:\\") + kPortable + "\\Quilvane", std::string("C:\\") + kPortable + "\\Quilvane",
         F::None},
        {&japanese, presentation + "\\Quilvane", presentation + "\\Quilvane", F::None},
        {&japanese, presentation, presentation, F::None},
        {&japanese, "C:/" + std::string(kPresentation) + "//Sub/", presentation + "\\Sub", F::None},
        {&japanese, presentation + "\\..\\x", "C:\\x", F::None},
        {&japanese, presentation + "\\.\\" + kTable, presentation + "\\" + kTable, F::None},
        {&japanese, share + "\\Q", share + "\\Q", F::None},
        // The characters themselves are still refused, right after a
        // two-byte character too.
        {&japanese, presentation + "|x", presentation + "|x", F::InvalidCharacter},
        {&japanese, std::string("C:\\") + kPortable + "?", std::string("C:\\") + kPortable + "?", F::InvalidCharacter},
        {&japanese, presentation + ".\\Q", presentation + ".\\Q", F::TrailingDotOrBlank},
        {&japanese, std::string("C:\\nul.") + kTable, std::string("C:\\nul.") + kTable, F::ReservedName},
        // Read byte by byte, the same texts break in the single-byte code page.
        {&western, std::string("C:\\") + kPortable + "\\Quilvane", std::string("C:\\") + kPortable + "\\Quilvane",
         F::InvalidCharacter},
        {&western, presentation + "\\Quilvane", "C:\\\x94\xAD\x95\\Quilvane", F::None},
        // COM and LPT with a superscript unit.
        {&western, "C:\\COM\xB9", "C:\\COM\xB9", F::ReservedName},
        {&western, "C:\\Apps\\lpt\xB2.txt\\Sub", "C:\\Apps\\lpt\xB2.txt\\Sub", F::ReservedName},
        {&western, "C:\\com\xB3 .log", "C:\\com\xB3 .log", F::ReservedName},
        {&western, "C:\\COM\xB9\xB9", "C:\\COM\xB9\xB9", F::None},
        {&western, "C:\\COM\xBC", "C:\\COM\xBC", F::None},  // one quarter
        {&western, "C:\\CON\xB9", "C:\\CON\xB9", F::None},
        {&japanese, "C:\\COM\xB9", "C:\\COM\xB9", F::None},  // a half-width katakana in Shift-JIS
        {&korean, "C:\\LPT\xA9\xF8", "C:\\LPT\xA9\xF8", F::ReservedName},
        {&korean, "C:\\COM\xA9\xF9", "C:\\COM\xA9\xF9", F::None},
    };
    for (const auto& c : cases) {
        const CheckedDestination checked = CheckDestination(c.typed, *c.codePage);
        EXPECT_EQ(checked.folder, c.folder) << c.typed;
        EXPECT_EQ(checked.fault, c.fault) << c.typed;
    }
    EXPECT_TRUE(IsDriveOrShareRoot(std::string("\\\\srv\\sh") + kTable + "x", japanese));
    EXPECT_FALSE(IsDriveOrShareRoot(std::string("\\\\srv\\sh") + kTable + "x", western)) << "a folder below the share";
}

// The names a normal installation writes below its folder, the deepest
// last, and those of a portable one (the deepest 61 characters long).
const std::vector<std::string> kNormalNames = {"qwp.exe", "License.txt", "Install.log", "Hyphenation.dat"};
const std::vector<std::string> kPortableNames = {
    "qwp.exe", "Spellcheck\\English (American).cache", "qwp_common.dat",
    "Clip Library\\Phrases\\Please do not hesitate to contact me.rtf"};

// "C:\" and the unit (one character) up to that many characters.
std::string FolderOf(std::size_t characters, const std::string& unit = "a") {
    std::string folder = "C:\\";
    for (std::size_t count = 3; count < characters; ++count) folder += unit;
    return folder;
}

TEST(DestinationRules, EveryPathOfTheInstallationFitsWithinTheLimits) {
    const AnsiCodePage western = test::Windows1252(), japanese = test::ShiftJis();
    const struct {
        const char* what;
        std::string folder;
        std::vector<std::string> names;
        const AnsiCodePage* codePage;
        bool fits;
    } cases[] = {
        // Normal: the folder, a backslash and Hyphenation.dat in 259.
        {"normal, under", FolderOf(242), kNormalNames, &western, true},
        {"normal, at", FolderOf(243), kNormalNames, &western, true},
        {"normal, over", FolderOf(244), kNormalNames, &western, false},
        // Portable: the folder, a backslash and the deepest clip in 259.
        {"portable, under", FolderOf(196), kPortableNames, &western, true},
        {"portable, at", FolderOf(197), kPortableNames, &western, true},
        {"portable, over", FolderOf(198), kPortableNames, &western, false},
        // A two-byte character counts once.
        {"normal, Shift-JIS at", FolderOf(243, test::kTable), kNormalNames, &japanese, true},
        {"normal, Shift-JIS over", FolderOf(244, test::kTable), kNormalNames, &japanese, false},
        {"portable, Shift-JIS at", FolderOf(197, test::kTable), kPortableNames, &japanese, true},
        {"portable, Shift-JIS over", FolderOf(198, test::kTable), kPortableNames, &japanese, false},
        // A folder is made, with its backslash, in under 248 characters:
        // the folder itself, and a folder below it whose file is short.
        {"no files, under", FolderOf(245), {}, &western, true},
        {"no files, at", FolderOf(246), {}, &western, true},
        {"no files, over", FolderOf(247), {}, &western, false},
        {"folder below, at", FolderOf(235), {"Sub Folder\\x"}, &western, true},
        {"folder below, over", FolderOf(236), {"Sub Folder\\x"}, &western, false},
        // A drive root holds every name.
        {"drive root", "C:\\", kPortableNames, &western, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FitsPathLimits(c.folder, c.names, *c.codePage), c.fits)
            << c.what << ": " << CharCount(c.folder, *c.codePage) << " characters";
}

}  // namespace
}  // namespace qwp
