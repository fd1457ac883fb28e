// TRegistry against the real registry, below a scratch key that stands in
// for HKEY_CURRENT_USER.
#include "registration/Registry.h"
#include "tests/support/RegistryScratch.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace qwp::test {
namespace {

using RegistryTest = RegistryScratchTest;

// The redirection itself: writes through HKEY_CURRENT_USER land below the
// scratch key of the real one, so nothing the tests do reaches the user.
TEST_F(RegistryTest, ScratchKeyStandsInForCurrentUser) {
    ASSERT_TRUE(WriteSzValue("Probe", "v", "x"));
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    const bool seenBelowScratch = KeyExists(scratch_.RealPath() + "\\Probe");
    const bool seenAtTop = KeyExists("Probe");
    // Put the redirection back before asserting, so a failure leaves the
    // fixture's clean-up intact.
    HKEY scratch = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, scratch_.RealPath().c_str(), 0, KEY_ALL_ACCESS, &scratch);
    RegOverridePredefKey(HKEY_CURRENT_USER, scratch);
    RegCloseKey(scratch);
    EXPECT_TRUE(seenBelowScratch);
    EXPECT_FALSE(seenAtTop);
}

TEST_F(RegistryTest, OpenKeyFollowsThePathRules) {
    TRegistry registry;
    EXPECT_EQ(HKEY_CURRENT_USER, registry.RootKey());
    EXPECT_EQ(nullptr, registry.CurrentKey());

    // Without a current key a plain path is taken from the root, and the
    // key is created.
    ASSERT_TRUE(registry.OpenKey("A\\B"));
    EXPECT_TRUE(KeyExists("A\\B"));
    EXPECT_EQ("A\\B", registry.CurrentPath());

    // A plain path is relative to the current key.
    ASSERT_TRUE(registry.OpenKey("C"));
    EXPECT_TRUE(KeyExists("A\\B\\C"));
    EXPECT_FALSE(KeyExists("C"));
    EXPECT_EQ("A\\B\\C", registry.CurrentPath());
    ASSERT_TRUE(registry.WriteInteger("n", 7));
    EXPECT_EQ(7u, ReadDwordValue("A\\B\\C", "n").value_or(0xdeadbeef));

    // A leading backslash goes back to the root.
    ASSERT_TRUE(registry.OpenKey("\\D"));
    EXPECT_TRUE(KeyExists("D"));
    EXPECT_FALSE(KeyExists("A\\B\\C\\D"));
    EXPECT_EQ("D", registry.CurrentPath());
}

TEST_F(RegistryTest, FailedOpenLeavesNoCurrentKey) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Keep"));
    ASSERT_TRUE(registry.WriteString("v", "x"));
    // A doubled backslash makes an empty key name, which RegCreateKeyExA refuses.
    EXPECT_FALSE(registry.OpenKey("\\\\Bad"));
    EXPECT_EQ(nullptr, registry.CurrentKey());
    EXPECT_EQ("", registry.CurrentPath());
    EXPECT_FALSE(registry.ValueExists("v"));
    EXPECT_FALSE(registry.ReadString("v").has_value());
    EXPECT_FALSE(registry.WriteString("w", "lost"));
    EXPECT_FALSE(ReadRawValue("Keep", "w").has_value());

    // Then a plain path is taken from the root again.
    ASSERT_TRUE(registry.OpenKey("Other"));
    EXPECT_TRUE(KeyExists("Other"));
    EXPECT_FALSE(KeyExists("Keep\\Other"));
}

TEST_F(RegistryTest, ChangingTheRootClosesTheCurrentKey) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("K"));
    registry.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_NE(nullptr, registry.CurrentKey()) << "the same root keeps the key";
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_EQ(HKEY_LOCAL_MACHINE, registry.RootKey());
    EXPECT_EQ(nullptr, registry.CurrentKey());
    EXPECT_EQ("", registry.CurrentPath());
}

TEST_F(RegistryTest, WritesStoreExactBytesAndTypes) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("W"));
    ASSERT_TRUE(registry.WriteString("s", "C:\\Q"));
    ASSERT_TRUE(registry.WriteString("empty", ""));
    ASSERT_TRUE(registry.WriteInteger("i", 0x80000001u));
    ASSERT_TRUE(registry.WriteBool("t", true));
    ASSERT_TRUE(registry.WriteBool("f", false));

    const std::optional<RawValue> s = ReadRawValue("W", "s");
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), s->type);
    EXPECT_EQ(std::string("C:\\Q", 5), s->data) << "the characters and one NUL";
    const std::optional<RawValue> empty = ReadRawValue("W", "empty");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), empty->type);
    EXPECT_EQ(std::string(1, '\0'), empty->data);
    EXPECT_EQ(0x80000001u, ReadDwordValue("W", "i").value_or(0xdeadbeef));
    EXPECT_EQ(1u, ReadDwordValue("W", "t").value_or(0xdeadbeef));
    EXPECT_EQ(0u, ReadDwordValue("W", "f").value_or(0xdeadbeef));
}

TEST_F(RegistryTest, ReadsGiveStoredValuesAndAbsence) {
    ASSERT_TRUE(WriteSzValue("R", "s", "text"));
    ASSERT_TRUE(WriteSzValue("R", "empty", ""));
    ASSERT_TRUE(WriteDwordValue("R", "i", 0xfffffffe));
    ASSERT_TRUE(WriteDwordValue("R", "b", 2));
    ASSERT_TRUE(WriteDwordValue("R", "zero", 0));

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("R"));
    EXPECT_EQ("text", registry.ReadString("s").value_or("<absent>"));
    EXPECT_EQ("", registry.ReadString("empty").value_or("<absent>"));
    EXPECT_EQ(0xfffffffeu, registry.ReadInteger("i").value_or(0xdeadbeef));
    EXPECT_EQ(true, registry.ReadBool("b").value_or(false)) << "any non-zero value is true";
    EXPECT_EQ(false, registry.ReadBool("zero").value_or(true));

    EXPECT_TRUE(registry.ValueExists("s"));
    EXPECT_FALSE(registry.ValueExists("none"));
    EXPECT_FALSE(registry.ReadString("none").has_value());
    EXPECT_FALSE(registry.ReadInteger("none").has_value());
    EXPECT_FALSE(registry.ReadBool("none").has_value());
}

TEST_F(RegistryTest, ValuesOfAnotherTypeReadAsAbsent) {
    ASSERT_TRUE(WriteSzValue("T", "text", "1"));
    ASSERT_TRUE(WriteDwordValue("T", "number", 1));
    ASSERT_TRUE(WriteRawValue("T", "binary2", REG_BINARY, std::string("\x01\x00", 2)));
    ASSERT_TRUE(WriteRawValue("T", "binary4", REG_BINARY, std::string("\x01\x00\x00\x00", 4)));
    ASSERT_TRUE(WriteRawValue("T", "short", REG_DWORD, std::string("\x01\x00", 2)));
    ASSERT_TRUE(WriteRawValue("T", "expand", REG_EXPAND_SZ, std::string("%TEMP%\0", 7)));
    ASSERT_TRUE(WriteRawValue("T", "multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)));

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("T"));
    for (const char* name : {"text", "binary2", "binary4", "short", "expand", "multi"}) {
        EXPECT_TRUE(registry.ValueExists(name)) << name << ": exists, whatever its type";
        EXPECT_FALSE(registry.ReadInteger(name).has_value()) << name << " read as an integer";
        EXPECT_FALSE(registry.ReadBool(name).has_value()) << name << " read as a boolean";
    }
    for (const char* name : {"number", "binary2", "binary4", "short", "expand", "multi"})
        EXPECT_FALSE(registry.ReadString(name).has_value()) << name << " read as a text";
}

TEST_F(RegistryTest, TextsAreCutAtNulAndNeedNoTerminator) {
    ASSERT_TRUE(WriteRawValue("N", "inner", REG_SZ, std::string("ab\0cd\0", 6)));
    ASSERT_TRUE(WriteRawValue("N", "unterminated", REG_SZ, "xyz"));
    ASSERT_TRUE(WriteRawValue("N", "zero", REG_SZ, ""));

    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("N"));
    EXPECT_EQ("ab", registry.ReadString("inner").value_or("<absent>"));
    EXPECT_EQ("xyz", registry.ReadString("unterminated").value_or("<absent>"));
    EXPECT_EQ("", registry.ReadString("zero").value_or("<absent>")) << "a size of 0 is the empty text";

    const std::string big(70000, 'q');
    ASSERT_TRUE(registry.WriteString("big", big));
    EXPECT_EQ(big, registry.ReadString("big").value_or("<absent>"));
}

TEST_F(RegistryTest, DestructionClosesTheKey) {
    HKEY key = nullptr;
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey("Closed"));
        key = registry.CurrentKey();
    }
    // The handle is gone: using it fails.
    const DWORD zero = 0;
    EXPECT_EQ(ERROR_INVALID_HANDLE,
              RegSetValueExA(key, "x", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), sizeof zero));
}

}  // namespace
}  // namespace qwp::test
