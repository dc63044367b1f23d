// The menu fixture: the overlay fixture with menu files written into the data folder's
// "menus", a test page type registered as "DefaultMenuPage" (and "PlainPage") that records
// its commands, and the menu manager shut down after each test.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/files/TagFile.h"
#include "engine/overlay/menu/ControlDescription.h"
#include "engine/overlay/menu/MenuManager.h"
#include "engine/overlay/menu/MenuPage.h"
#include "engine/overlay/menu/PageDescription.h"
#include "engine/overlay/menu/PageTypeRegistry.h"
#include "tests/engine/overlay/widgets/OverlayTestSupport.h"

namespace menu_test {

// RETURN START is 4097, RETURN QUIT 4098; the command "Close" closes the page with the
// argument's number; every command is logged as "<page> <command> <argument> <value>".
class TestPage : public MenuPage {
public:
    explicit TestPage(PageDescription* description) : MenuPage(description) {}
    std::int32_t CommandId(const char* keyword) override {
        const std::string word = keyword;
        return word == "START" ? 4097 : word == "QUIT" ? 4098 : -1;
    }
    std::int32_t OnButton(Control*, const char* command, const char* argument, std::int32_t value) override {
        Log().push_back(std::string(Name()) + " " + command + " " + argument + " " + std::to_string(value));
        return std::string(command) == "Close" ? std::atoi(argument) : 0;
    }
    static std::vector<std::string>& Log() {
        static std::vector<std::string> log;
        return log;
    }
};

class PlainPage : public TestPage {
public:
    using TestPage::TestPage;
};

inline void RegisterTestPageTypes() {
    static PageTypeEntry defaultType{"DefaultMenuPage", [](PageDescription* d) -> MenuPage* { return new TestPage(d); },
                                     nullptr};
    static PageTypeEntry plainType{"PlainPage", [](PageDescription* d) -> MenuPage* { return new PlainPage(d); },
                                   nullptr};
    RegisterPageTypeOnce(&defaultType);
    RegisterPageTypeOnce(&plainType);
}

class MenuTest : public overlay_test::OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        if (HasFatalFailure()) return;
        RegisterTestPageTypes();
        TestPage::Log().clear();
        std::filesystem::create_directories(root_.Path() + "/fs/data/menus");
    }
    void TearDown() override {
        GetMenuManager().Shutdown();
        GetMenuManager().themeName = EngineString();
        OverlayTest::TearDown();
    }
    // "menus/<name>" in the data folder.
    void WriteMenuFile(const std::string& name, const std::string& text) {
        std::ofstream(root_.Path() + "/fs/data/menus/" + name, std::ios::binary) << text;
    }
    // One control node from its text, read with the anchor given.
    static std::unique_ptr<ControlDescription> ReadControl(const std::string& text, const ControlDescription* anchor,
                                                           int* result = nullptr) {
        TagFile node;
        EXPECT_EQ(node.ParseText(text.c_str()), 0) << text;
        auto description = std::make_unique<ControlDescription>();
        const int read = ParseControlProperties(*description, node, anchor);
        if (result != nullptr) *result = read;
        return description;
    }
    static MenuManager& Menus() { return GetMenuManager(); }
};

}  // namespace menu_test
