// The platform type through SystemParametersInfoW, and lower-casing text in place.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/Errors.h"
#include "platform/user/CharCase.h"
#include "platform/user/SystemParameters.h"

namespace {

TEST(SystemParameters, AnswersThePlatformType) {
    WCHAR type[256] = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0));
    EXPECT_EQ(std::u16string(type), u"PocketPC");

    platform::SetPlatformType(u"Smartphone");
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, type, 0));
    EXPECT_EQ(std::u16string(type), u"Smartphone");

    WCHAR tooSmall[10] = {u'x'};  // "Smartphone" and its terminator need 22 bytes
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof tooSmall, tooSmall, 0));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(tooSmall[0], u'x');
    platform::SetPlatformType(u"PocketPC");

    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof type, nullptr, 0));
    EXPECT_FALSE(SystemParametersInfoW(0x0030, sizeof type, type, 0));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(CharCase, LowersOnlyTheCountedCharacters) {
    std::u16string text = u"\\Program Files\\ÄÖ\\KEEP";
    EXPECT_EQ(CharLowerBuffW(text.data(), 18), 18u);
    EXPECT_EQ(text, u"\\program files\\äö\\KEEP");
    EXPECT_EQ(CharLowerBuffW(nullptr, 4), 0u);
}

}  // namespace
