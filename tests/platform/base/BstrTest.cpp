// OLE automation strings: the byte-length prefix, embedded and missing text, reallocation.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/base/Bstr.h"

namespace {

TEST(Bstr, StoresItsByteLengthBeforeTheText) {
    BSTR text = SysAllocString(u"Dial");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(SysStringByteLen(text), 8u);
    DWORD prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const unsigned char*>(text) - 4, 4);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(text[4], 0);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(text) % 8, 0u);
    SysFreeString(text);
}

TEST(Bstr, LengthGivenTextsKeepEmbeddedZerosAndNullTextsAreZeroed) {
    const WCHAR source[] = {u'a', 0, u'b'};
    BSTR text = SysAllocStringLen(source, 3);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 3u);
    EXPECT_EQ(text[2], u'b');
    EXPECT_EQ(text[3], 0);
    SysFreeString(text);

    BSTR zeroed = SysAllocStringLen(nullptr, 5);
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i <= 5; ++i) EXPECT_EQ(zeroed[i], 0);
    SysFreeString(zeroed);

    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysAllocStringLen(nullptr, 0x80000000u), nullptr) << "the byte length must fit 32 bits";
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    SysFreeString(nullptr);
}

TEST(Bstr, ReAllocCopiesBeforeFreeing) {
    BSTR text = SysAllocString(u"Contacts");
    ASSERT_TRUE(SysReAllocString(&text, text + 4));
    EXPECT_EQ(std::u16string(text), u"acts");
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_FALSE(SysReAllocString(nullptr, u"x"));
    SysFreeString(text);
}

}  // namespace
