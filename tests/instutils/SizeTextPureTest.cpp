#include "instutils/SizeText.h"

#include <gtest/gtest.h>

#include <limits>

namespace qwp {
namespace {

TEST(SizeText, FormatSizeMatchesTheComponentsPageTable) {
    const std::pair<std::int64_t, const char*> rows[] = {
        {0, "0 KB"}, {1023, "0 KB"}, {1024, "1 KB"}, {1048576, "1 MB"}, {1048577, "1 024 KB"},
        {5000000, "4 882 KB"}, {15728640, "15 MB"}, {16777214, "16 383 KB"}, {16777215, "16 MB"},
        {17301504, "16 MB"},  // 16.5 MB: the half goes to the even neighbour
        {18350080, "18 MB"}, {1073741824, "1 024 MB"},
        {std::numeric_limits<std::int64_t>::max(), "8 796 093 022 208 MB"},
    };
    for (const auto& [bytes, text] : rows) EXPECT_EQ(FormatSize(bytes), text) << "bytes " << bytes;
}

TEST(SizeText, GroupingAndClusterRounding) {
    EXPECT_EQ(FormatGrouped(123), "123");
    EXPECT_EQ(FormatGrouped(1234), "1 234");
    EXPECT_EQ(FormatGrouped(123456), "123 456");
    EXPECT_EQ(FormatGrouped(1234567), "1 234 567");
    EXPECT_EQ(RoundUpToClusters(4097, 4096), 8192);
    EXPECT_EQ(RoundUpToClusters(5000, 0), 5000);  // no division by zero
    const std::int32_t largest = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(RoundUpToClusters(largest, 4096), largest);  // saturates instead of wrapping negative
}

}  // namespace
}  // namespace qwp
