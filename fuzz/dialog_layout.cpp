// Fuzzes dialogs built from layout sets: the input is served as every layout set the dialog
// names (its own and those of its layer table), shown by a 64 × 64 dialog manager, laid out,
// painted, dragged and painted again through the layers' scroll caches. Malformed sets may
// only fail to load or throw COrmException from the loader.
// Runs with -entropic=0 unless told otherwise (-entropic=1): the entropic schedule spent more
// than half of each run weighing the features of the tens of thousands of branches a dialog
// passes through; see also FuzzAllocatorOptions.h.
#include <cstdint>
#include <cstring>

#include "dialer/dialog/DialogContent.h"
#include "dialer/dialog/DialogEvents.h"
#include "dialer/dialog/DialogManager.h"
#include "dialer/layout/LayoutRepository.h"
#include "dialer/objects/ObjectFactory.h"
#include "dialer/surface/ScreenDpi.h"
#include "fuzz/FuzzAllocatorOptions.h"
#include "fuzz/FuzzDefaultFlags.h"

namespace {

class CInputLayouts : public CLayoutRepositoryService {
public:
    CLayoutSet* GetDocument(LPCWSTR name) override { return ParseLayoutSetFile(bytes, name).Detach(); }
    CSharedBuffer bytes;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultFlags(argc, argv, {"-entropic=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CInputLayouts* layouts = [] {
        SetScreenDpi(kLayoutDpi, kLayoutDpi);
        auto* made = new CInputLayouts();
        CRefPtr<CLayoutRepositoryService> service(made);
        SetLayoutRepository(service.Holder());
        CRefPtr<CObjectFactoryService> factory(new CObjectFactory());
        SetObjectFactory(factory.Holder());
        return made;
    }();
    layouts->bytes = MakeSharedArray<BYTE>(size);
    if (layouts->bytes) std::memcpy(layouts->bytes.Data(), data, size);
    XmlLayouts::CDialogManager* made = nullptr;
    XmlLayouts::CreateDialogManager(&made);
    CInterfacePtr<XmlLayouts::CDialogManager> manager = CInterfacePtr<XmlLayouts::CDialogManager>::Adopt(made);
    manager->SetSize(64, 64);
    if (FAILED(manager->OpenDialog(u"Fuzz", DIALOG_PUSH_REPLACE_TOP, nullptr))) return 0;
    manager->Invalidate(TRUE);
    CInterfacePtr<XmlLayouts::CDialogContent> content = manager->Stack().GetTop();
    content->SetCacheMode(3);
    DragEventData drag;
    drag.startX = drag.previousX = drag.currentX = 10;
    drag.startY = drag.previousY = 40;
    drag.currentY = 10;
    drag.first = 1;
    for (LONG scroll : {0, 7, -5, 300, 299}) {
        for (std::size_t i = 0; i < content->LayerCount(); ++i) content->LayerAt(i)->SetScroll(POINT{0, scroll});
        content->SendEvent(DIALOG_EVENT_DRAG, 0, &drag);
        manager->Invalidate(TRUE);
        drag.first = 0;
    }
    content->SendEvent(DIALOG_EVENT_DRAG_END, 0, nullptr);
    manager->CloseDialogs(TRUE);
    return 0;
}
