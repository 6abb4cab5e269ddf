#include "core/base/message.h"
#include "core/validation/encryption.h"
#include "tests/kit/scriptedmessagebox.h"

#include <gtest/gtest.h>

namespace {

class EncryptionTest : public ::testing::Test {
protected:
    platform::ScriptedMessageBox box;
    platform::ScopedMessageBox scoped{box};
};

TEST_F(EncryptionTest, KeysHaveTheirForm)
{
    const auto& k88 = core::KeyK88();
    ASSERT_EQ(k88.size(), 88u);
    for (char c : k88)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
    const auto& k52 = core::KeyK52();
    ASSERT_EQ(k52.size(), 52u);
    int blanks = 0;
    for (char c : k52) {
        if (c == ' ')
            ++blanks;
        else
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << c;
    }
    EXPECT_EQ(blanks, 1);
}

TEST_F(EncryptionTest, HexTextBothWays)
{
    EXPECT_EQ(core::TextToHex("abc"), "616263");
    EXPECT_EQ(core::HexToText("616263"), "abc");
    EXPECT_EQ(core::TextToHex(std::string("\x00\x0f\xff", 3)), "000FFF");
    EXPECT_EQ(core::HexToText("000fFF"), std::string("\x00\x0f\xff", 3));
    EXPECT_THROW(core::HexToText("6G"), std::invalid_argument);
}

TEST_F(EncryptionTest, EncryptingTwiceGivesTheTextBack)
{
    std::string key = "k1";
    const std::string text = "Validation \xe9\xff text";
    const std::string once = core::Encrypting(text, key);
    EXPECT_EQ(key.size(), 32u);  // doubled until it covers the text
    EXPECT_NE(once, text);
    EXPECT_EQ(core::Encrypting(once, key), text);
    EXPECT_EQ(core::XorChar("a", "b", 1), std::string(1, 'a' ^ 'b'));
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(EncryptionTest, EmptyKeyIsReported)
{
    std::string key;
    EXPECT_EQ(core::Encrypting("abc", key), "");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].prompt, "Encryption key missing");
}

TEST_F(EncryptionTest, ErrorsInTheRoutinesAreReported)
{
    EXPECT_EQ(core::XorChar("ab", "k", 2), "");
    EXPECT_EQ(core::Decrypt2("not hex"), "");
    ASSERT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(box.shown[0].prompt.rfind("Error in Function 'XorChar'\r\n\r\nError: ", 0), 0u);
    EXPECT_EQ(box.shown[1].prompt.rfind("Error in Function 'Decrypt2'\r\n\r\nError: ", 0), 0u);
    EXPECT_EQ(core::AsciiVal(""), 0);
    EXPECT_EQ(core::AsciiVal("\xfe"), 0xfe);
}

TEST_F(EncryptionTest, ValidationCodeDecodesToItsText)
{
    for (const std::string text : {"0", "123456", "-2147483648"}) {
        const std::string code = core::MakeValidationCode(text, core::KeyK52());
        EXPECT_EQ(code.size(), 2 * text.size());
        std::string key = core::KeyK88();
        EXPECT_EQ(core::Encrypting(core::Decrypt2(core::TextToHex(code)), key), text);
    }
}

} // namespace
