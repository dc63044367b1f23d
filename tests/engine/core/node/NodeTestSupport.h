// Fixtures of the scene node tests: fresh engine heaps, a handset root with a data folder for
// the saved forms, the global node lists emptied after each test, and small helpers.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/core/files/DataFolder.h"
#include "engine/core/files/FileStream.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/core/node/KNode.h"
#include "engine/core/object/KGlobalInterface.h"
#include "tests/support/TestSupport.h"

namespace node_test {

class NodeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        ClearGuidRegistry();
        SetCloneGuidsAssigned(true);
        SetClonesPrepared(true);
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(DataPath());
    }
    void TearDown() override {
        FreeSceneNodeLists();
        EXPECT_EQ(AnimationPlayersInUse(), 0u);
        ClearGuidRegistry();
        SetDataFolder(nullptr);
        HeapTeardown();
    }
    std::string DataPath(const std::string& name = "") const { return root_.Path() + "/fs/data/" + name; }

    std::vector<unsigned char> ReadData(const std::string& name) const {
        std::ifstream in(DataPath(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteData(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::ofstream out(DataPath(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    handset_test::TempHandsetRoot root_;
};

// A node made with `new`, named and optionally placed.
inline KNode* MakeNode(const char* name, Vector3 position = {0, 0, 0}) {
    auto* node = new KNode();
    node->SetName(name);
    node->SetPosition(position);
    return node;
}

inline void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline void ExpectMatrixNear(const Matrix34& actual, const Matrix34& expected, float tolerance = 1e-4f) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.m[i][j], expected.m[i][j], tolerance) << i << "," << j;
}

}  // namespace node_test
