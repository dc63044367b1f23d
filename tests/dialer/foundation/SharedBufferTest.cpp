// Shared data blocks: the zeroed block and the conversion of UTF-8 bytes to wide text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/SharedBuffer.h"

namespace {

CSharedBuffer BufferOf(const std::string& text) {
    CSharedBuffer buffer = MakeSharedArray<BYTE>(text.size());
    if (buffer) std::memcpy(buffer.Data(), text.data(), text.size());
    return buffer;
}

TEST(Utf8ToWideBuffer, ConvertsWithATerminatorAndRefusesNoData) {
    const CSharedWideText text = Utf8ToWideBuffer(BufferOf("Zoë"));
    ASSERT_TRUE(text);
    EXPECT_EQ(text.Count(), 4u);
    EXPECT_EQ(std::u16string(text.Data()), u"Zoë");
    HRESULT thrown = S_OK;
    try {
        Utf8ToWideBuffer(CSharedBuffer());
    } catch (COrmException exception) {
        thrown = exception.code;
    }
    EXPECT_EQ(thrown, E_ORM_FAIL);
}

}  // namespace
