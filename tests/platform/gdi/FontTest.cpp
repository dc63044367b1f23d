// Font objects: what CreateFontIndirectW records, GetObjectW's sizes, DeleteObject.
#include <gtest/gtest.h>

#include "platform/base/Errors.h"
#include "platform/gdi/Font.h"

namespace {

TEST(Font, RecordsItsDescriptionUntilDeleted) {
    LOGFONTW wanted{};
    wanted.lfHeight = -24;
    wanted.lfWeight = FW_BOLD;
    wanted.lfItalic = 1;
    wanted.lfQuality = CLEARTYPE_QUALITY;
    for (int i = 0; i < LF_FACESIZE; ++i) wanted.lfFaceName[i] = u'A';  // unterminated
    HFONT font = CreateFontIndirectW(&wanted);
    ASSERT_NE(font, nullptr);

    EXPECT_EQ(GetObjectW(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));
    LOGFONTW read{};
    ASSERT_EQ(GetObjectW(font, sizeof read, &read), static_cast<int>(sizeof read));
    EXPECT_EQ(read.lfHeight, -24);
    EXPECT_EQ(read.lfWeight, FW_BOLD);
    EXPECT_EQ(read.lfItalic, 1);
    EXPECT_EQ(read.lfQuality, CLEARTYPE_QUALITY);
    EXPECT_EQ(std::u16string(read.lfFaceName), std::u16string(LF_FACESIZE - 1, u'A'));

    LONG height = 0;
    EXPECT_EQ(GetObjectW(font, sizeof height, &height), static_cast<int>(sizeof height));
    EXPECT_EQ(height, -24);

    EXPECT_TRUE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(GetObjectW(font, sizeof read, &read), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    EXPECT_FALSE(DeleteObject(nullptr));
}

}  // namespace
