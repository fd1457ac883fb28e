#include "instutils/SetupError.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace qwp::test {
namespace {

// The library's own errors arrive as SetupError with the library's message,
// its number placeholders filled in; a std::out_of_range here would mean the
// library's thrower, and the second string implementation with it, was linked.
std::string LibraryMessage(void (*misuse)()) {
    try {
        misuse();
    } catch (const SetupError& failure) {
        return failure.what();
    } catch (const std::exception& other) {
        return std::string("not a SetupError: ") + other.what();
    }
    return "nothing thrown";
}

volatile std::size_t tooFar = 5;

TEST(LibraryThrows, IndexErrorsCarryTheFormattedMessage) {
    EXPECT_EQ("basic_string::substr: __pos (which is 5) > this->size() (which is 2)",
              LibraryMessage([] { (void)std::string("ab").substr(tooFar); }));
    EXPECT_EQ("basic_string::at: __n (which is 5) >= this->size() (which is 0)",
              LibraryMessage([] { (void)std::string().at(tooFar); }));
    EXPECT_EQ("vector::_M_range_check: __n (which is 4294967295) >= this->size() (which is 3)",
              LibraryMessage([] { (void)std::vector<int>(3).at(std::size_t{4294967295u}); }));
    EXPECT_EQ("basic_string::erase: __pos (which is 5) > this->size() (which is 4)",
              LibraryMessage([] { std::string("abcd").erase(tooFar); }));
}

TEST(LibraryThrows, LengthErrorsCarryTheLibraryText) {
    EXPECT_EQ("basic_string::_M_create", LibraryMessage([] {
                  std::string text;
                  text.reserve(text.max_size() + tooFar - 4);
              }));
    EXPECT_EQ("vector::reserve", LibraryMessage([] {
                  std::vector<int> numbers;
                  numbers.reserve(numbers.max_size() + tooFar - 4);
              }));
}

// Allocation errors keep their standard types: the setup catches
// std::bad_alloc by name.
TEST(LibraryThrows, AllocationErrorsKeepTheirStandardTypes) {
    std::allocator<std::int32_t> allocator;
    const std::size_t beyondMax = PTRDIFF_MAX / sizeof(std::int32_t) + tooFar - 4;
    const std::size_t beyondAddressSpace = SIZE_MAX / sizeof(std::int32_t) + tooFar - 4;
    EXPECT_THROW((void)allocator.allocate(beyondMax), std::bad_alloc);
    try {
        (void)allocator.allocate(beyondAddressSpace);
        ADD_FAILURE() << "nothing thrown";
    } catch (const std::bad_array_new_length&) {
    }
}

}  // namespace
}  // namespace qwp::test
