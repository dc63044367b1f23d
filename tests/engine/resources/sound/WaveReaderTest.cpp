// The wave loader: what it reads from the chunks (PCM 16 and 8 bits, IMA ADPCM with its extra
// format bytes, tag 105; LIST and fact chunks passed over), what it refuses (other tags, 0
// bits per sample, chunks running past the file, short format chunks, not a wave file), the
// whole-file mode of a device that decodes files itself, a device that refuses, and the
// resource cache loading sounds through it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/files/DataFolder.h"
#include "engine/core/object/Module.h"
#include "engine/core/object/ResourceCache.h"
#include "engine/resources/sound/SoundResources.h"
#include "engine/resources/sound/WaveReader.h"
#include "engine/sound/NullSoundDevice.h"
#include "tests/engine/support/EngineTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

struct Chunk {
    std::string id;
    Bytes body;
    std::int64_t declaredSize = -1;  // -1: the body's size
};

Bytes Riff(const std::vector<Chunk>& chunks, const char* form = "WAVE") {
    Bytes out = {'R', 'I', 'F', 'F', 0, 0, 0, 0};
    out.insert(out.end(), form, form + 4);
    for (const Chunk& chunk : chunks) {
        out.insert(out.end(), chunk.id.begin(), chunk.id.end());
        Put32(out, chunk.declaredSize < 0 ? static_cast<std::uint32_t>(chunk.body.size())
                                          : static_cast<std::uint32_t>(chunk.declaredSize));
        out.insert(out.end(), chunk.body.begin(), chunk.body.end());
    }
    const auto size = static_cast<std::uint32_t>(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    return out;
}

// A "fmt " chunk; with `extra` the 18-byte form and its extra bytes.
Chunk Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t blockAlign, std::uint16_t bits,
             const Bytes* extra = nullptr) {
    Chunk chunk{"fmt ", {}};
    Put16(chunk.body, tag);
    Put16(chunk.body, channels);
    Put32(chunk.body, rate);
    Put32(chunk.body, rate * blockAlign);
    Put16(chunk.body, blockAlign);
    Put16(chunk.body, bits);
    if (extra != nullptr) {
        Put16(chunk.body, static_cast<std::uint32_t>(extra->size()));
        chunk.body.insert(chunk.body.end(), extra->begin(), extra->end());
    }
    return chunk;
}

Chunk Data(const Bytes& bytes) { return Chunk{"data", bytes}; }

// Records what the loader hands over; refuses, or wants whole files, when told to.
struct DeviceLog {
    bool wantsRaw = false;
    bool refuses = false;
    std::vector<std::string> extensionsAsked;
    int samplesCreated = 0;
};
DeviceLog deviceLog;

class RecordingDevice : public NullSoundDevice {
public:
    int WantsRawSoundFile(const char* extension) override {
        deviceLog.extensionsAsked.push_back(extension);
        return deviceLog.wantsRaw ? 1 : 0;
    }
    int CreateSample(SoundSample*) override {
        if (deviceLog.refuses) return 0;
        ++deviceLog.samplesCreated;
        return 1;
    }
};

Interface* CreateRecordingDevice() { return new RecordingDevice; }

const ModuleEntry kRecordingModule[] = {
    {"Create_RecordingDevice", AsModuleFunction(&CreateRecordingDevice)},
    {nullptr, nullptr},
};

class WaveReaderTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        deviceLog = DeviceLog{};
        SetDataFolder("\\data\\");
        std::filesystem::create_directories(root_.Path() + "/fs/data/sound");
        ASSERT_NE(RegisterModule("TestSound", kRecordingModule), nullptr);
        const SoundSettings settings{"Quorvane", 44100};
        ASSERT_EQ(CreateSoundDevice("TestSound", "RecordingDevice", &settings), 0);
        blocksBefore_ = EngineBlockCount();
    }
    void TearDown() override {
        DestroySoundDevice();
        ShutdownModules();
        SetDataFolder(nullptr);
        HeapTest::TearDown();
    }
    void Write(const std::string& name, const Bytes& bytes) {
        std::ofstream out(root_.Path() + "/fs/data/" + name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // Loads the bytes as "sound/<name>"; the sample (to delete), or null.
    SoundSample* Load(const std::string& name, const Bytes& bytes) {
        Write("sound/" + name, bytes);
        return LoadSound(("sound/" + name).c_str());
    }

    // Engine blocks held by the module and the device; a test ends with no more than these.
    std::size_t blocksBefore_ = 0;
    handset_test::TempHandsetRoot root_;
};

TEST_F(WaveReaderTest, SixteenBitPcmIsReadAsItIsBehindAListChunk) {
    const Bytes samples = {0x01, 0x02, 0xFF, 0x7F, 0x00, 0x80, 0x10, 0x00};
    SoundSample* sample =
        Load("pcm16.wav", Riff({Chunk{"LIST", Bytes(10, 'x')}, Format(1, 2, 22050, 4, 16), Data(samples)}));
    ASSERT_NE(sample, nullptr);
    EXPECT_STREQ(sample->name.Text(), "sound/pcm16.wav");
    EXPECT_EQ(sample->sampleCount, 4u) << "data bytes x 8 / bits";
    EXPECT_EQ(sample->sampleRate, 22050u);
    EXPECT_EQ(sample->bitsPerSample, 16u);
    EXPECT_EQ(sample->channelCount, 2u);
    EXPECT_EQ(sample->blockAlign, 4u);
    EXPECT_EQ(sample->averageBytesPerSecond, 22050u * 4);
    EXPECT_EQ(sample->formatCode, static_cast<DWORD>(kSoundFormatPcm));
    EXPECT_EQ(sample->dataSize, samples.size());
    EXPECT_EQ(sample->extraFormatSize, 0u);
    EXPECT_EQ(std::memcmp(sample->data, samples.data(), samples.size()), 0);
    EXPECT_EQ(deviceLog.samplesCreated, 1);
    EXPECT_EQ(deviceLog.extensionsAsked, std::vector<std::string>{".wav"});
    delete sample;
    EXPECT_EQ(EngineBlockCount(), blocksBefore_) << "the sample takes its data with it";
}

TEST_F(WaveReaderTest, EightBitSamplesAreShiftedBy128) {
    SoundSample* sample = Load("pcm8.wav", Riff({Format(1, 1, 11025, 1, 8), Data({0x80, 0xFF, 0x00, 0x01, 0x7F})}));
    ASSERT_NE(sample, nullptr);
    const Bytes expected = {0x00, 0x7F, 0x80, 0x81, 0xFF};
    EXPECT_EQ(Bytes(sample->data, sample->data + 5), expected);
    EXPECT_EQ(sample->sampleCount, 5u);
    delete sample;
}

TEST_F(WaveReaderTest, ImaAdpcmKeepsItsExtraFormatBytesAfterTheDataPastAFactChunk) {
    const Bytes extra = {0xF9, 0x01};  // 505 frames a block
    const Bytes blocks(256, 0x11);
    Bytes fact;
    Put32(fact, 505);
    SoundSample* sample =
        Load("ima.wav", Riff({Format(17, 1, 22050, 256, 4, &extra), Chunk{"fact", fact}, Data(blocks)}));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->formatCode, static_cast<DWORD>(kSoundFormatImaAdpcm));
    EXPECT_EQ(sample->sampleCount, 512u) << "two codes a byte";
    EXPECT_EQ(sample->blockAlign, 256u);
    EXPECT_EQ(sample->dataSize, 256u);
    ASSERT_EQ(sample->extraFormatSize, 2u);
    ASSERT_EQ(sample->extraFormat, sample->data + 256);
    EXPECT_EQ(sample->extraFormat[0], 0xF9);
    EXPECT_EQ(sample->extraFormat[1], 0x01);
    EXPECT_EQ(sample->data[0], 0x11) << "4-bit data is not shifted";
    delete sample;

    sample = Load("t105.wav", Riff({Format(105, 1, 8000, 256, 4), Data(Bytes(256, 0))}));
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->formatCode, static_cast<DWORD>(kSoundFormatTag105));
    delete sample;
}

TEST_F(WaveReaderTest, FilesThatAreNotReadableWavesAreRefused) {
    const Bytes pcm(8, 0);
    const Bytes tooLong = {1, 2, 3, 4, 5, 6};
    const Bytes formatWithLongExtra = tooLong;
    Chunk overlongExtra = Format(1, 1, 22050, 2, 16, &formatWithLongExtra);
    overlongExtra.body[16] = 40;  // 40 extra bytes claimed in a chunk that holds 6
    Bytes truncated = Riff({Format(1, 1, 22050, 2, 16), Data(pcm)});
    truncated.resize(truncated.size() - 3);
    Chunk shortFormat = Format(1, 1, 22050, 2, 16);
    shortFormat.body.resize(14);
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case refused[] = {
        {"msadpcm.wav", Riff({Format(2, 1, 22050, 256, 4), Data(pcm)})},
        {"nobits.wav", Riff({Format(1, 1, 22050, 2, 0), Data(pcm)})},
        {"datapastend.wav", Riff({Format(1, 1, 22050, 2, 16), Chunk{"data", pcm, 9}})},
        {"hugedata.wav", Riff({Format(1, 1, 22050, 2, 16), Chunk{"data", pcm, 0xFFFFFFF0}})},
        {"listpastend.wav", Riff({Chunk{"LIST", Bytes(4, 0), 400}, Format(1, 1, 22050, 2, 16), Data(pcm)})},
        {"factpastend.wav", Riff({Format(1, 1, 22050, 2, 16), Chunk{"fact", Bytes(4, 0), 0x7FFFFFFF}, Data(pcm)})},
        {"shortformat.wav", Riff({shortFormat, Data(pcm)})},
        {"longextra.wav", Riff({overlongExtra, Data(pcm)})},
        {"truncated.wav", truncated},
        {"nodata.wav", Riff({Format(1, 1, 22050, 2, 16)})},
        {"noformat.wav", Riff({Data(pcm)})},
        {"notwave.wav", Riff({Format(1, 1, 22050, 2, 16), Data(pcm)}, "AVI ")},
        {"empty.wav", {}},
        {"sound.ogg", Riff({Format(1, 1, 22050, 2, 16), Data(pcm)})},
        {"noextension", Riff({Format(1, 1, 22050, 2, 16), Data(pcm)})},
    };
    engine_test::CapturedLog log;
    for (const Case& each : refused) {
        SCOPED_TRACE(each.name);
        EXPECT_EQ(Load(each.name, each.bytes), nullptr);
    }
    EXPECT_TRUE(log.Contains("Unsupported wave format 'sound/msadpcm.wav'")) << log.Text();
    EXPECT_TRUE(log.Contains("sound/nobits.wav: the wave format has 0 bits per sample.")) << log.Text();
    EXPECT_TRUE(log.Contains("sound/datapastend.wav: the 'data' chunk of 9 bytes runs past the end of the file."))
        << log.Text();
    EXPECT_EQ(deviceLog.samplesCreated, 0);
    EXPECT_EQ(LoadSound("sound/absent.wav"), nullptr);
    EXPECT_EQ(EngineBlockCount(), blocksBefore_) << "nothing is left behind";
}

TEST_F(WaveReaderTest, ARefusingDeviceOrNoDeviceGivesNoSample) {
    const Bytes file = Riff({Format(1, 1, 22050, 2, 16), Data(Bytes(8, 0))});
    deviceLog.refuses = true;
    EXPECT_EQ(Load("refused.wav", file), nullptr);
    EXPECT_EQ(EngineBlockCount(), blocksBefore_);
    DestroySoundDevice();
    const std::size_t withoutDevice = EngineBlockCount();
    EXPECT_EQ(Load("nodevice.wav", file), nullptr);
    EXPECT_EQ(EngineBlockCount(), withoutDevice);
}

TEST_F(WaveReaderTest, ADeviceThatDecodesFilesGetsThemWholeWithTheCanonicalHeader) {
    deviceLog.wantsRaw = true;
    const Bytes samples = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Bytes file = Riff({Format(1, 2, 44100, 4, 16), Data(samples)});
    ASSERT_EQ(file.size(), 44u + samples.size());
    SoundSample* sample = Load("whole.wav", file);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->dataSize, file.size()) << "the whole file";
    EXPECT_EQ(std::memcmp(sample->data, file.data(), file.size()), 0);
    EXPECT_EQ(sample->sampleRate, 44100u);
    EXPECT_EQ(sample->channelCount, 2u);
    EXPECT_EQ(sample->bitsPerSample, 16u);
    EXPECT_EQ(sample->blockAlign, 4u);
    EXPECT_EQ(sample->sampleCount, 6u) << "the data size at offset 40 x 8 / bits";
    delete sample;

    sample = Load("whole.ogg", {'O', 'g', 'g', 'S', 0});
    ASSERT_NE(sample, nullptr) << "another kind of file goes to the device as it is";
    EXPECT_EQ(sample->sampleCount, 0u);
    EXPECT_EQ(sample->bitsPerSample, 0u);
    EXPECT_EQ(sample->dataSize, 5u);
    delete sample;

    Bytes noBits = file;
    noBits[34] = 0;
    Bytes dataPastEnd = file;
    dataPastEnd[40] = 13;
    const std::pair<const char*, Bytes> refused[] = {
        {"short.wav", Bytes(file.begin(), file.begin() + 43)},
        {"nobits.wav", noBits},
        {"datapastend.wav", dataPastEnd},
    };
    for (const auto& [name, bytes] : refused) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Load(name, bytes), nullptr);
    }
    Bytes headerOnly(file.begin(), file.begin() + 44);
    headerOnly[40] = 0;
    sample = Load("headeronly.wav", headerOnly);
    ASSERT_NE(sample, nullptr) << "a 44-byte file without samples";
    EXPECT_EQ(sample->sampleCount, 0u);
    delete sample;
    EXPECT_EQ(EngineBlockCount(), blocksBefore_);
}

TEST_F(WaveReaderTest, TheResourceCacheLoadsASoundOnceByName) {
    const ResourceHooks saved = GetResourceHooks();
    InstallSoundResourceHooks();
    InstallSoundResourceHooks();  // a second time changes nothing
    ResourceCache cache;
    ASSERT_EQ(cache.Init(), 0);
    Write("sound/Jump.wav", Riff({Format(1, 1, 22050, 2, 16), Data(Bytes(8, 0))}));
    Interface* first = cache.GetSound("sound/Jump.wav");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsKindOf(SoundSample::StaticTypeId()));
    EXPECT_EQ(cache.GetSound("sound/Jump.wav"), first);
    EXPECT_EQ(first->ReferenceCount(), 1u);
    EXPECT_EQ(deviceLog.samplesCreated, 1);
    EXPECT_EQ(cache.GetSound("sound/Missing.wav"), nullptr);
    cache.Clear();
    SetResourceHooks(saved);
}

}  // namespace
