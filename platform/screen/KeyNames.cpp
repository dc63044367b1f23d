// The tables of key names: script names and desktop key names to the handset's virtual keys.
#include "platform/screen/KeyNames.h"

#include <string>

#include "platform/user/WindowKeys.h"

namespace platform::screen {

namespace {

struct NamedKey {
    const char* name;
    UINT virtualKey;
};

constexpr NamedKey kScriptNames[] = {
    {"LEFT", VK_LEFT},         {"RIGHT", VK_RIGHT},       {"UP", VK_UP},
    {"DOWN", VK_DOWN},         {"RETURN", VK_RETURN},     {"ESCAPE", VK_ESCAPE},
    {"SPACE", VK_SPACE},       {"TAB", VK_TAB},           {"BACK", VK_BACK},
    {"DELETE", VK_DELETE},     {"SHIFT", VK_SHIFT},       {"CONTROL", VK_CONTROL},
    {"ALT", VK_MENU},          {"SOFT1", VK_TSOFT1},      {"SOFT2", VK_TSOFT2},
    {"TALK", VK_TTALK},        {"END", VK_TEND},          {"HOME", VK_THOME},
    {"ACTION", VK_ACTION},     {"VOLUMEUP", VK_TVOLUMEUP}, {"VOLUMEDOWN", VK_TVOLUMEDOWN},
    {"STAR", VK_TSTAR},        {"POUND", VK_TPOUND},      {"APP1", VK_APP1},
    {"APP2", VK_APP2},         {"APP3", VK_APP3},         {"APP4", VK_APP4},
    {"APP5", VK_APP5},         {"APP6", VK_APP6},
};

constexpr NamedKey kDesktopNames[] = {
    {"Left", VK_LEFT},          {"Right", VK_RIGHT},         {"Up", VK_UP},
    {"Down", VK_DOWN},          {"Return", VK_RETURN},       {"Keypad Enter", VK_RETURN},
    {"Escape", VK_ESCAPE},      {"Space", VK_SPACE},         {"Tab", VK_TAB},
    {"Backspace", VK_BACK},     {"Delete", VK_DELETE},       {"Left Shift", VK_SHIFT},
    {"Right Shift", VK_SHIFT},  {"Left Ctrl", VK_CONTROL},   {"Right Ctrl", VK_CONTROL},
    {"Left Alt", VK_MENU},      {"Right Alt", VK_MENU},      {"PageUp", VK_TTALK},
    {"PageDown", VK_TEND},      {"End", VK_TEND},            {"Home", VK_THOME},
    {"Left GUI", VK_THOME},
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

// "F<n>" with n in 1..highest; 0 otherwise.
UINT FunctionKey(std::string_view name, int highest) {
    if (name.size() < 2 || name.size() > 3 || Upper(name[0]) != 'F') return 0;
    int number = 0;
    for (char c : name.substr(1)) {
        if (c < '0' || c > '9') return 0;
        number = number * 10 + (c - '0');
    }
    if (name[1] == '0' || number < 1 || number > highest) return 0;
    return VK_F1 + static_cast<UINT>(number - 1);
}

// A single letter or digit is its own key.
UINT LetterOrDigit(std::string_view name) {
    if (name.size() != 1) return 0;
    char c = Upper(name[0]);
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<UINT>(c);
    return 0;
}

}  // namespace

UINT VirtualKeyOfName(std::string_view name) {
    if (UINT key = LetterOrDigit(name)) return key;
    if (UINT key = FunctionKey(name, 24)) return key;
    for (const NamedKey& entry : kScriptNames)
        if (EqualIgnoringCase(name, entry.name)) return entry.virtualKey;
    return 0;
}

UINT VirtualKeyOfDesktopKey(std::string_view desktopName) {
    if (UINT key = LetterOrDigit(desktopName)) return key;
    if (UINT key = FunctionKey(desktopName, 12)) return key;
    constexpr std::string_view kKeypad = "Keypad ";
    if (desktopName.size() == kKeypad.size() + 1 && desktopName.substr(0, kKeypad.size()) == kKeypad &&
        desktopName.back() >= '0' && desktopName.back() <= '9')
        return static_cast<UINT>(desktopName.back());
    for (const NamedKey& entry : kDesktopNames)
        if (desktopName == entry.name) return entry.virtualKey;
    return 0;
}

}  // namespace platform::screen
