// The single-instance base of the stores: one per process while it lives.
#include <gtest/gtest.h>

#include <memory>

#include "dialer/data/SingleInstance.h"

namespace {

class TestStore : public CSingleInstance<TestStore> {};

TEST(SingleInstance, ASecondInstanceIsRefusedUntilTheFirstIsGone) {
    EXPECT_EQ(TestStore::Instance(), nullptr);
    auto first = std::make_unique<TestStore>();
    EXPECT_EQ(TestStore::Instance(), first.get());
    try {
        TestStore second;
        FAIL() << "a second store was made";
    } catch (const COrmException& exception) {
        EXPECT_EQ(exception.code, E_ORM_FAIL);
    }
    EXPECT_EQ(TestStore::Instance(), first.get());  // the refused one took nothing away
    first.reset();
    EXPECT_EQ(TestStore::Instance(), nullptr);
    TestStore again;
    EXPECT_EQ(TestStore::Instance(), &again);
}

}  // namespace
