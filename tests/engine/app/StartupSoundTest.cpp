// Tests of the sound device's start-up: the configured class when it starts, and the
// silent device when none is configured, the configured one is missing, refuses to start or
// is not a sound device; and the silent device's answers.
#include <gtest/gtest.h>

#include <string>

#include "engine/app/AppConfig.h"
#include "engine/app/CoreModule.h"
#include "engine/core/object/Module.h"
#include "engine/sound/NullSoundDevice.h"
#include "engine/sound/SoundDevice.h"
#include "tests/engine/support/EngineTestSupport.h"

namespace {

int devicesAlive = 0;

// A device that starts or refuses to start as its class says.
class TestSoundDevice : public NullSoundDevice {
public:
    explicit TestSoundDevice(bool starts) : starts_(starts) { ++devicesAlive; }
    ~TestSoundDevice() override { --devicesAlive; }
    DWORD Init(const SoundSettings* settings) override {
        EXPECT_STREQ(settings->applicationName, "Quorvane");
        return starts_ ? 0 : 1;
    }
    const char* GetTypeName() const override { return starts_ ? "WorkingDevice" : "FailingDevice"; }

private:
    bool starts_;
};

class NotASoundDevice : public Interface {
    KEL_DECLARE_TYPE(NotASoundDevice, Interface, "NotASoundDevice")
};

Interface* CreateWorkingDevice() { return new TestSoundDevice(true); }
Interface* CreateFailingDevice() { return new TestSoundDevice(false); }
Interface* CreateNotASoundDevice() { return new NotASoundDevice(); }

const ModuleEntry kTestSoundModule[] = {
    {"Create_WorkingDevice", AsModuleFunction(&CreateWorkingDevice)},
    {"Create_FailingDevice", AsModuleFunction(&CreateFailingDevice)},
    {"Create_Gadget", AsModuleFunction(&CreateNotASoundDevice)},
    {nullptr, nullptr},
};

class StartupSoundTest : public engine_test::HeapTest {
protected:
    void SetUp() override {
        HeapTest::SetUp();
        ASSERT_EQ(RegisterCoreModule(), 0);
        ASSERT_NE(RegisterModule("TestSound", kTestSoundModule), nullptr);
    }
    void TearDown() override {
        DestroySoundDevice();
        ShutdownModules();
        HeapTest::TearDown();
    }
    // The device started for a "Sound=" line, by its type name.
    std::string StartedFor(const char* line) {
        AppConfig config;
        ApplyConfigLine(config, line, nullptr);
        const SoundSettings settings{"Quorvane", 44100};
        if (CreateConfiguredSoundDevice(config.sound.module, config.sound.className, &settings) != 0) return "<none>";
        return GetSoundDevice()->GetTypeName();
    }
};

TEST_F(StartupSoundTest, TheSilentDeviceStandsInForAnyConfiguredDeviceThatDoesNotStart) {
    const std::pair<const char*, const char*> cases[] = {
        {"Sound=TestSound.WorkingDevice", "WorkingDevice"},
        {"Sound=testsound.WorkingDevice", "WorkingDevice"},
        {"Sound=libkel.NullSoundDevice", "NullSoundDevice"},
        {"Sound=TestSound.", "NullSoundDevice"},
        {"Sound=", "NullSoundDevice"},
        {"Sound=TestSound", "NullSoundDevice"},
        {"Sound=FmodSound.FmodSoundDevice", "NullSoundDevice"},
        {"Sound=TestSound.FailingDevice", "NullSoundDevice"},
        {"Sound=TestSound.Gadget", "NullSoundDevice"},
    };
    for (const auto& [line, expected] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(StartedFor(line), expected);
        DestroySoundDevice();
        EXPECT_EQ(GetSoundDevice(), nullptr);
        EXPECT_EQ(devicesAlive, 0) << "a device that did not start is released";
    }
}

TEST_F(StartupSoundTest, WithoutTheSilentDeviceNothingStarts) {
    ShutdownModules();
    ASSERT_NE(RegisterModule("TestSound", kTestSoundModule), nullptr);
    EXPECT_EQ(StartedFor("Sound=TestSound.FailingDevice"), "<none>");
    EXPECT_EQ(GetSoundDevice(), nullptr);
}

TEST_F(StartupSoundTest, TheSilentDeviceAnswersWithoutSound) {
    ASSERT_EQ(StartedFor("Sound=libkel.NullSoundDevice"), "NullSoundDevice");
    SoundDevice* device = GetSoundDevice();
    EXPECT_EQ(device->OwningModule(), FindModule("libkel"));
    EXPECT_EQ(device->PlaySample(nullptr, 1), 0);
    EXPECT_EQ(device->PlayMusic("music/theme.xm", 0), 0);
    EXPECT_EQ(device->IsMusicPlaying(), 0);
    EXPECT_EQ(device->StopChannel(1), 1);
    EXPECT_EQ(device->Resume(), 1);
    EXPECT_EQ(device->Suspend(), 1);
    EXPECT_EQ(device->GetMusicVolume(), 0);
}

}  // namespace
