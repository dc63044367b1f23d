// Fixtures of the sound device tests: a fresh engine heap and handset root with the data
// folder "\data\" (the archive tests' fixture), the sound library mixed by hand, and sound
// samples made from frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/memory/EngineMemory.h"
#include "engine/sound/SoundSample.h"
#include "platform/sound/SoundPlatform.h"
#include "tests/engine/support/ArchiveTestSupport.h"

namespace sound_device_test {

constexpr int kRate = 22050;

class SoundTest : public engine_test::ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        platform::sound::UseManualMixing(true);
    }
    void TearDown() override {
        platform::sound::UseManualMixing(false);
        platform::sound::SetReportedVersion(0.0f);
        ArchiveTest::TearDown();
    }
    void WriteData(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        engine_test::WriteWholeFile(DataPath(name), bytes);
    }
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
