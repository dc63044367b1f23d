// The dialer installed as the data build and the install command install it: its texts
// ("CalvaneRes.dll") and its layout pack ("qa_layouts.dat"), as the build's demo data holds
// them (the demo_data target), in "\Program Files\Calvane", whose folder the registry names.
// Start-up finds them there, and the fixture dialogs, shown by the dialog manager in its host
// window, reach the screen as dialogshot paints them (its reference images, tolerance (8, 4, 8)).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dialer/dialog/DialogHostWindow.h"
#include "dialer/foundation/RegistryKey.h"
#include "dialer/foundation/Services.h"
#include "dialer/foundation/StringTable.h"
#include "dialer/frame/StartUp.h"
#include "platform/screen/Display.h"
#include "platform/screen/PngFile.h"
#include "platform/screen/Screen.h"
#include "platform/user/Message.h"
#include "platform/user/Window.h"
#include "tests/support/ReferenceImage.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 696;

// Copies a file of the dialer's built demo data into its installed folder; true when it could.
bool InstallFile(const std::string& name, const std::string& folder) {
    std::error_code failure;
    std::filesystem::copy_file(std::string(DIALER_DEMO_DATA) + "/" + name, folder + "/" + name,
                               std::filesystem::copy_options::overwrite_existing, failure);
    return !failure;
}

class InstalledDialerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform::screen::Configure(platform::screen::DisplayGeometry{}));
        folder_ = root_.Path() + "/fs/Program Files/Calvane";
        ASSERT_EQ(std::system(("mkdir -p '" + folder_ + "'").c_str()), 0);
    }
    void TearDown() override { ShutDown(); }

    // What the install command puts into the dialer's folder, and the folder in the registry.
    void Install(bool withTexts) {
        if (withTexts) {
            ASSERT_TRUE(InstallFile("CalvaneRes.dll", folder_)) << "no demo data in " DIALER_DEMO_DATA;
        }
        ASSERT_TRUE(InstallFile("qa_layouts.dat", folder_)) << "no demo data in " DIALER_DEMO_DATA;
        RegistryKey key(HKEY_LOCAL_MACHINE, u"\\SOFTWARE\\Halvorn\\Dialer", TRUE);
        ASSERT_TRUE(key.SetString(u"InstallDir", u"\\Program Files\\Calvane"));
    }
    // Delivers what the queue holds, WM_PAINT included, as the phone application's loop would.
    static void Pump() {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    // The window's part of the screen.
    platform::screen::Image Shot() {
        const std::string path = root_.Path() + "/screen.png";
        std::string error;
        platform::screen::Image screen;
        EXPECT_TRUE(platform::screen::SaveScreenshot(path, error)) << error;
        EXPECT_TRUE(platform::screen::ReadPng(path, screen));
        platform::screen::Image window;
        if (screen.width < kWidth || screen.height < kHeight) return window;
        window.width = kWidth;
        window.height = kHeight;
        for (int y = 0; y < kHeight; ++y)
            window.rgba.insert(window.rgba.end(), screen.PixelAt(0, y), screen.PixelAt(kWidth, y));
        return window;
    }

    handset_test::TempHandsetRoot root_;
    std::string folder_;
};

TEST_F(InstalledDialerTest, TheFixtureDialogsReachTheScreenAsDialogshotPaintsThem) {
    Install(true);
    ASSERT_TRUE(StartUp());
    EXPECT_NE(GetResourceInstance(), nullptr);
    EXPECT_EQ(GetStringTable().GetModule(), GetResourceInstance());

    XmlLayouts::CDialogManager* made = nullptr;
    XmlLayouts::CreateDialogManager(&made);
    ASSERT_NE(made, nullptr);
    CInterfacePtr<XmlLayouts::CDialogManager> manager = CInterfacePtr<XmlLayouts::CDialogManager>::Adopt(made);
    {
        CDialogHostWindow host(manager.Get());
        ASSERT_NE(host.Create(nullptr, RECT{0, 0, kWidth, kHeight}, u"Dialer", WS_POPUP | WS_VISIBLE), nullptr);
        for (const char16_t* dialog : {u"FixtureList", u"FixtureOverlay"}) {
            const std::string name(dialog, dialog + std::char_traits<char16_t>::length(dialog));
            SCOPED_TRACE(name);
            ASSERT_EQ(manager->OpenDialog(dialog, DIALOG_PUSH_REPLACE_TOP, nullptr), S_OK);
            Pump();
            EXPECT_TRUE(handset_test::MatchesReference(Shot(), DIALOG_REFERENCE_DIR, name));
        }
        manager->CloseDialogs(TRUE);
    }
}

TEST_F(InstalledDialerTest, WithoutItsTextsTheDialerDoesNotStart) {
    Install(false);
    EXPECT_FALSE(StartUp());
    EXPECT_EQ(GetResourceInstance(), nullptr);
    EXPECT_EQ(GetResourcePack(u"qa_layouts"), nullptr) << "no service is installed";
}

}  // namespace
