// The names a whole installation writes below its folder, as the setup
// measures them before anything is written, against the plan that is then
// made: every planned copy below the folder is among them, in both layouts.
#include "tests/payload/EngineFixture.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

// The planned copies below the folder (a folder text), relative to it.
std::set<std::string> PlannedBelow(const TInstallPlan& plan, const std::string& folder) {
    std::set<std::string> below;
    for (const auto& group : plan.Groups)
        for (const auto& copy : group)
            if (copy->Destination.rfind(folder, 0) == 0) below.insert(copy->Destination.substr(folder.size()));
    return below;
}

TEST_F(EngineTest, NamesMeasuredBelowTheFolderAreThoseThePlanWritesThere) {
    for (const bool portable : {false, true}) {
        SCOPED_TRACE(portable ? "portable" : "normal");
        if (portable && !UsePortableDestination()) {
            std::printf("the test environment set up no removable drive: the portable layout is not compared\n");
            continue;
        }
        const std::string folder = portable ? portable_ : dest_.Path();
        target_.BuildInstallPlan(plan_);
        const std::set<std::string> planned = PlannedBelow(plan_, folder);
        const std::vector<std::string> measured = PlannedNamesBelowMainDir(catalogue(), portable);
        EXPECT_EQ(std::set<std::string>(measured.begin(), measured.end()), planned);
        EXPECT_EQ(measured.size(), planned.size()) << "a name measured twice";
    }
}

}  // namespace
}  // namespace qwp::test
