// Fuzz harness: the bytes are run/windows.table, the table of top-level windows that every
// process of the handset root maps, as another process or a crash may have left it. The
// first byte chooses how: even, the rest is the whole file (any size, any header); odd, the
// rest is laid over a table of the right size from its 16th byte on (foreground, z-order
// and the first entries), behind a header that fits. In entries so laid, a process id of
// 0xFFFFFFFF stands for this process, so that its windows count as alive and are read.
// Then windows are walked, looked up by name and made, placed and destroyed; each call must
// keep its promise and nothing may be read outside the mapping.
//
// A whole file goes to the handset root not in use, which is then used: the table of a root
// stays mapped until another root is, so the file is opened afresh. Bytes laid over a table
// are written into the mapped table in place, as another process writes it (what the input
// before wrote there is cleared first). Mapping and allocating are most of each run: see
// FuzzAllocatorOptions.h.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzAllocatorOptions.h"
#include "fuzz/FuzzHandsetFile.h"
#include "platform/base/HandsetRoot.h"
#include "platform/user/Window.h"

namespace {

constexpr const char16_t* kClass = u"FuzzTable";
constexpr const char* kTableName = "/run/windows.table";
// Where the table keeps its process ids: the header is 64 bytes, and an entry's process id
// follows its handle, owner, start time and z (checked against a real table below).
constexpr std::size_t kHeaderBytes = 64;
constexpr std::size_t kProcessIdOffset = 32;
constexpr std::uint32_t kThisProcess = 0xFFFFFFFF;

void Check(bool holds) {
    if (!holds) std::abort();
}

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<std::uint8_t> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::uint32_t WordAt(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    std::uint32_t word = 0;
    std::memcpy(&word, bytes.data() + at, sizeof word);
    return word;
}

// The two roots, and a table as this build makes it (one window of this process listed).
struct Roots {
    std::string root[2];
    std::vector<std::uint8_t> made;
    std::uint32_t entryBytes = 0;
};

const Roots& TheRoots() {
    static const Roots roots = [] {
        static const FuzzHandsetFile first("a/run/windows.table");
        static const FuzzHandsetFile second("b/run/windows.table");
        Roots made;
        for (int i = 0; i < 2; ++i) {
            const std::string& path = (i == 0 ? first : second).Path();
            made.root[i] = path.substr(0, path.size() - std::strlen(kTableName));
        }
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = kClass;
        Check(RegisterClassW(&windowClass) != 0);
        platform::SetHandsetRoot(made.root[0]);
        HWND window = CreateWindowExW(0, kClass, u"Fuzz", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        Check(window != nullptr);
        made.made = ReadWhole(first.Path());
        DestroyWindow(window);
        // The layout this harness assumes: the one window's process id where it is looked for.
        Check(made.made.size() > kHeaderBytes + kProcessIdOffset + 4);
        made.entryBytes = WordAt(made.made, 12);
        Check(WordAt(made.made, kHeaderBytes + kProcessIdOffset) == static_cast<std::uint32_t>(getpid()));
        return made;
    }();
    return roots;
}

// The root whose table is mapped, and how far into each table the last input may have written.
int g_current = 0;
std::size_t g_written[2] = {};

// Writes the input as described above and makes its root the current one.
void WriteTable(const std::uint8_t* data, std::size_t size) {
    const Roots& roots = TheRoots();
    const bool laid = size > 0 && data[0] % 2 == 1;
    if (!laid) g_current = 1 - g_current;
    const std::string path = roots.root[g_current] + kTableName;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | (laid ? 0 : O_TRUNC) | O_CLOEXEC, 0600);
    Check(fd >= 0);
    if (laid) {
        std::vector<std::uint8_t> bytes(roots.made.begin(), roots.made.begin() + 16);
        bytes.insert(bytes.end(), data + 1, data + std::min(size, roots.made.size() - 15));
        const std::uint32_t self = static_cast<std::uint32_t>(getpid());
        for (std::size_t at = kHeaderBytes + kProcessIdOffset; at + 4 <= bytes.size(); at += roots.entryBytes)
            if (WordAt(bytes, at) == kThisProcess) std::memcpy(bytes.data() + at, &self, sizeof self);
        const std::size_t laidEnd = bytes.size();
        // The last input's window took the first free slot, at most one entry past its bytes.
        const std::size_t dirty = std::min(g_written[g_current] + roots.entryBytes, roots.made.size());
        if (dirty > bytes.size()) bytes.resize(dirty, 0);
        Check(pwrite(fd, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()));
        g_written[g_current] = laidEnd;
    } else {
        if (size > 1) Check(write(fd, data + 1, size - 1) == static_cast<ssize_t>(size - 1));
        // Whatever it held, the table is cleared or kept whole when it is opened.
        g_written[g_current] = roots.made.size();
    }
    close(fd);
    platform::SetHandsetRoot(roots.root[g_current]);
}

BOOL Collect(HWND window, LPARAM list) {
    auto* windows = reinterpret_cast<std::vector<HWND>*>(list);
    windows->push_back(window);
    return windows->size() < 64;
}

void Drain() {
    MSG message;
    for (int i = 0; i < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (message.message == WM_PAINT) ValidateRect(message.hwnd, nullptr);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TheRoots();
    WriteTable(data, size);

    std::vector<HWND> windows;
    Check(EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows)));
    for (HWND window : windows) {
        IsWindowVisible(window);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        GetParent(window);
        GetWindow(window, GW_OWNER);
        GetWindow(window, GW_HWNDNEXT);
    }
    GetForegroundWindow();
    GetWindow(GetDesktopWindow(), GW_CHILD);
    // A class name longer than any the table keeps, and one that fills its whole field.
    const std::u16string longName(600, u'a');
    Check(FindWindowW(longName.c_str(), nullptr) == nullptr);
    FindWindowW(std::u16string(255, u'a').c_str(), nullptr);
    FindWindowW(nullptr, u"Fuzz");

    HWND made = CreateWindowExW(0, kClass, u"Fuzz", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (made != nullptr) {
        Check(IsWindow(made) && FindWindowW(kClass, u"Fuzz") != nullptr);
        if (!windows.empty()) SetWindowPos(made, windows.back(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowWindow(made, SW_HIDE);
        SetWindowTextW(made, std::u16string(300, u't').c_str());
        Check(DestroyWindow(made) && !IsWindow(made));
    }
    Drain();
    return 0;
}
