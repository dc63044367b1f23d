// Fixtures of the sound device tests: a fresh engine heap and handset root with the data
// folder "\data\", the sound library mixed by hand, and sound samples made from frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/files/DataFolder.h"
#include "engine/core/memory/EngineMemory.h"
#include "engine/sound/SoundSample.h"
#include "platform/sound/SoundPlatform.h"
#include "tests/support/TestSupport.h"

namespace sound_device_test {

constexpr int kRate = 22050;

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(HeapInit(), 0);
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(DataPath());
        platform::sound::UseManualMixing(true);
    }
    void TearDown() override {
        platform::sound::UseManualMixing(false);
        platform::sound::SetReportedVersion(0.0f);
        SetDataFolder(nullptr);
        HeapTeardown();
    }
    std::string DataPath(const std::string& name = "") const { return root_.Path() + "/fs/data/" + name; }
    void WriteData(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::create_directories(std::filesystem::path(DataPath(name)).parent_path());
        std::ofstream out(DataPath(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    handset_test::TempHandsetRoot root_;
};

// A 16-bit (or 8-bit: the high bytes) PCM sample of the frames, its data in engine memory,
// as the wave loader hands samples to the device.
inline SoundSample* MakeSoundSample(const std::vector<std::int16_t>& frames, DWORD channels = 1, DWORD bits = 16) {
    const DWORD bytes = static_cast<DWORD>(frames.size() * (bits / 8));
    auto* data = static_cast<BYTE*>(EngineAlloc(bytes));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (bits == 8)
            data[i] = static_cast<BYTE>(frames[i] >> 8);
        else
            std::memcpy(data + 2 * i, &frames[i], 2);
    }
    auto* sample = new SoundSample(data, static_cast<DWORD>(frames.size()), kRate, bits, channels);
    sample->dataSize = bytes;
    return sample;
}

}  // namespace sound_device_test
