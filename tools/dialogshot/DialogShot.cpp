// Painting one dialog of a layout pack.
#include "tools/dialogshot/DialogShot.h"

#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "dialer/dialog/DialogHostWindow.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/foundation/OrmException.h"
#include "dialer/foundation/Services.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/surface/ScreenDpi.h"
#include "platform/base/WideString.h"
#include "platform/user/Message.h"
#include "platform/user/Window.h"
#include "tools/dialogshot/FixturePanel.h"
#include "tools/make_skin_pack/PackFolder.h"
#include "tools/make_skin_pack/SkinPackWriter.h"

namespace {

constexpr int kMinSide = 16;
constexpr int kMaxSide = 4096;
constexpr int kMinDpi = 24;
constexpr int kMaxDpi = 1200;
// A pack file larger than this is not a layout pack.
constexpr std::uintmax_t kMaxPackBytes = 256u << 20;

bool ParseNumber(const std::string& text, int low, int high, int* value) {
    int parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, parsed);
    if (failure != std::errc() || stop != end || parsed < low || parsed > high) return false;
    *value = parsed;
    return true;
}

// The pack's bytes: a folder is packed as the data build packs it.
bool ReadPack(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error) {
    std::error_code failure;
    if (std::filesystem::is_directory(path, failure)) {
        std::vector<PackFile> files;
        if (!ReadPackFolder(path, &files, error)) return false;
        SkinPackWriter writer;
        for (const PackFile& file : files)
            if (!writer.Add(file.entryName, file.data)) {
                *error = writer.Error();
                return false;
            }
        if (!writer.Finish()) {
            *error = writer.Error();
            return false;
        }
        *bytes = writer.Bytes();
        return true;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, failure);
    if (failure || size == 0 || size > kMaxPackBytes) {
        *error = path + ": not a pack file (missing, empty or larger than 256 MiB).";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        *error = path + ": the pack file cannot be read.";
        return false;
    }
    return true;
}

// The one pack, under the layout pack's name.
class CShotPacks : public CPackRepositoryService {
public:
    explicit CShotPacks(CRefPtr<CResourcePack> pack) : m_pack(std::move(pack)) {}
    CResourcePack* GetPack(LPCWSTR name) override {
        return name != nullptr && _wcsicmp(name, kLayoutPackName) == 0 ? CRefPtr<CResourcePack>(m_pack).Detach()
                                                                       : nullptr;
    }

private:
    CRefPtr<CResourcePack> m_pack;
};

// The framework's objects, and the handler of the fixture layouts.
class CShotFactory : public CObjectFactory {
public:
    IUnknown* CreateObject(LPCWSTR className) override {
        if (className != nullptr && wcscmp(className, kFixturePanelClass) == 0) {
            auto* panel = new CFixturePanel();
            panel->AddRef();
            return panel;
        }
        return CObjectFactory::CreateObject(className);
    }
};

// The framework's services while a shot is taken.
class CShotServices {
public:
    explicit CShotServices(CRefPtr<CResourcePack> pack) {
        CRefPtr<CPackRepositoryService> packs(new CShotPacks(std::move(pack)));
        SetPackRepository(packs.Holder());
        CRefPtr<CObjectFactoryService> factory(new CShotFactory());
        SetObjectFactory(factory.Holder());
        CRefPtr<CLayoutRepositoryService> layouts(new CLayoutRepository());
        SetLayoutRepository(layouts.Holder());
    }
    ~CShotServices() {
        SetLayoutRepository(nullptr);
        SetObjectFactory(nullptr);
        SetPackRepository(nullptr);
    }
    CShotServices(const CShotServices&) = delete;
    CShotServices& operator=(const CShotServices&) = delete;
};

void ToImage(const CDibSurface& surface, platform::screen::Image* image) {
    image->width = surface.GetWidth();
    image->height = surface.GetHeight();
    image->rgba.resize(static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4);
    std::uint8_t* out = image->rgba.data();
    for (LONG y = 0; y < surface.GetHeight(); ++y) {
        const auto* row = reinterpret_cast<const std::uint16_t*>(surface.Row(y));
        for (LONG x = 0; x < surface.GetWidth(); ++x) {
            const unsigned red = row[x] >> 11;
            const unsigned green = (row[x] >> 5) & 0x3F;
            const unsigned blue = row[x] & 0x1F;
            *out++ = static_cast<std::uint8_t>((red << 3) | (red >> 2));
            *out++ = static_cast<std::uint8_t>((green << 2) | (green >> 4));
            *out++ = static_cast<std::uint8_t>((blue << 3) | (blue >> 2));
            *out++ = 255;
        }
    }
}

}  // namespace

bool ParseShotArguments(int count, const char* const* arguments, ShotRequest* request, std::string* error) {
    std::vector<std::string> positional;
    for (int i = 0; i < count; ++i) {
        const std::string argument = arguments[i] != nullptr ? arguments[i] : "";
        if (argument == "--dpi" || argument == "--size") {
            if (i + 1 >= count || arguments[i + 1] == nullptr) {
                *error = argument + " needs a value.";
                return false;
            }
            const std::string value = arguments[++i];
            if (argument == "--dpi") {
                if (!ParseNumber(value, kMinDpi, kMaxDpi, &request->dpi)) {
                    *error = "--dpi " + value + " is not a density from 24 to 1200.";
                    return false;
                }
                continue;
            }
            const std::size_t by = value.find('x');
            if (by == std::string::npos || !ParseNumber(value.substr(0, by), kMinSide, kMaxSide, &request->width) ||
                !ParseNumber(value.substr(by + 1), kMinSide, kMaxSide, &request->height)) {
                *error = "--size " + value + " is not WxH with sides from 16 to 4096.";
                return false;
            }
            continue;
        }
        if (argument == "--window") {
            request->window = true;
            continue;
        }
        if (argument.size() > 2 && argument.compare(0, 2, "--") == 0) {
            *error = "unknown option " + argument + ".";
            return false;
        }
        positional.push_back(argument);
    }
    const std::size_t needed = request->window ? 2 : 3;
    bool blank = false;
    for (const std::string& argument : positional) blank = blank || argument.empty();
    if (positional.size() != needed || blank) {
        *error = request->window ? "two arguments are needed with --window: <pack> <dialog>."
                                 : "three arguments are needed: <pack> <dialog> <png>.";
        return false;
    }
    request->pack = positional[0];
    request->dialog = positional[1];
    if (!request->window) request->png = positional[2];
    return true;
}

namespace {

// The pack's bytes in a shared buffer; false with a sentence.
bool LoadArchive(const ShotRequest& request, CSharedBuffer* archive, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadPack(request.pack, &bytes, error)) return false;
    *archive = MakeSharedArray<BYTE>(bytes.size());
    if (!*archive) {
        *error = request.pack + ": the pack does not fit in memory.";
        return false;
    }
    std::memcpy(archive->Data(), bytes.data(), bytes.size());
    return true;
}

// The host window of the window mode: closing it ends the message loop.
class CShotWindow : public CDialogHostWindow {
public:
    using CDialogHostWindow::CDialogHostWindow;
    BOOL ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                              DWORD mapId) override {
        if (message == WM_DESTROY) PostQuitMessage(0);
        return CDialogHostWindow::ProcessWindowMessage(window, message, wParam, lParam, result, mapId);
    }
};

// Milliseconds an idle loop waits for input before it looks again.
constexpr DWORD kIdleWaitMs = 16;

}  // namespace

bool ShootDialog(const ShotRequest& request, platform::screen::Image* image, std::string* error) {
    CSharedBuffer archive;
    if (!LoadArchive(request, &archive, error)) return false;
    SetScreenDpi(request.dpi, request.dpi);
    // The rules of the layouts ask the screen's size: the dialog fills the screen here.
    platform::SetDisplaySize(request.width, request.height);
    const std::u16string dialog(request.dialog.begin(), request.dialog.end());
    try {
        CShotServices services(OpenResourcePackInMemory(archive));
        // The repository's sentence says why a layout set cannot be had.
        CRefPtr<CLayoutSet> set = CRefPtr<CLayoutSet>::Adopt(GetLayoutDocument(dialog.c_str()));
        XmlLayouts::CDialogManager* made = nullptr;
        XmlLayouts::CreateDialogManager(&made);
        if (made == nullptr) {
            *error = "the dialog manager cannot be made.";
            return false;
        }
        CInterfacePtr<XmlLayouts::CDialogManager> manager = CInterfacePtr<XmlLayouts::CDialogManager>::Adopt(made);
        manager->SetSize(request.width, request.height);
        if (FAILED(manager->OpenDialog(dialog.c_str(), DIALOG_PUSH_REPLACE_TOP, nullptr))) {
            *error = request.pack + ": the dialog " + request.dialog + " cannot be built.";
            return false;
        }
        CSharedSurface painted = manager->GetBackBuffer(false);
        if (!painted) {
            *error = request.pack + ": the dialog " + request.dialog + " paints nothing.";
            return false;
        }
        ToImage(*painted, image);
    } catch (const COrmException& failure) {
        *error = failure.message.empty() ? request.pack + ": the pack cannot be read." : failure.message;
        return false;
    }
    return true;
}

bool RunDialogWindow(const ShotRequest& request, std::string* error) {
    CSharedBuffer archive;
    if (!LoadArchive(request, &archive, error)) return false;
    SetScreenDpi(request.dpi, request.dpi);
    const std::u16string dialog(request.dialog.begin(), request.dialog.end());
    try {
        CShotServices services(OpenResourcePackInMemory(archive));
        CRefPtr<CLayoutSet> set = CRefPtr<CLayoutSet>::Adopt(GetLayoutDocument(dialog.c_str()));
        XmlLayouts::CDialogManager* made = nullptr;
        XmlLayouts::CreateDialogManager(&made);
        if (made == nullptr) {
            *error = "the dialog manager cannot be made.";
            return false;
        }
        CInterfacePtr<XmlLayouts::CDialogManager> manager = CInterfacePtr<XmlLayouts::CDialogManager>::Adopt(made);
        CShotWindow host(manager.Get());
        HWND window = host.Create(nullptr, RECT{0, 0, request.width, request.height},
                                  (u"dialogshot: " + dialog).c_str(), WS_POPUP | WS_VISIBLE);
        if (window == nullptr) {
            *error = "the dialog's window cannot be made.";
            return false;
        }
        SetForegroundWindow(window);
        SetFocus(window);
        if (FAILED(manager->OpenDialog(dialog.c_str(), DIALOG_PUSH_REPLACE_TOP, nullptr))) {
            *error = request.pack + ": the dialog " + request.dialog + " cannot be built.";
            return false;
        }
        // The loop looks for input in short waits, so that a manual clock moves on while
        // nothing happens (a script's next step is then never far away).
        for (;;) {
            MSG message{};
            if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) break;
                TranslateMessage(&message);
                DispatchMessageW(&message);
                continue;
            }
            MsgWaitForMultipleObjectsEx(0, nullptr, kIdleWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
    } catch (const COrmException& failure) {
        *error = failure.message.empty() ? request.pack + ": the pack cannot be read." : failure.message;
        return false;
    }
    return true;
}
