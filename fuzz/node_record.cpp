// The node's saved form: records read one after another, each node hung under the one
// before, then the tree is walked, cloned, measured and released.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/core/files/FileStream.h"
#include "engine/core/node/KNode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    if (!ready || size == 0 || size > 0xFFFFFFFFu) return 0;
    auto* image = static_cast<BYTE*>(EngineAlloc(size));
    if (image == nullptr) return 0;
    std::memcpy(image, data, size);
    FileStream stream;
    stream.AttachImage(image, static_cast<DWORD>(size), 0);
    auto* root = new KNode();
    for (KNode* last = root; last != nullptr;) {
        auto* node = new KNode();
        const bool loaded = node->Load(stream) == 0 && last->AddChild(node) == 1;
        if (!loaded) node->Release();
        last = loaded ? node : nullptr;
    }
    Matrix34 matrix;
    for (KNode* node = root; node != nullptr; node = node->FirstChild()) node->GetInverseWorldMatrix(matrix);
    root->RayTest({0, 0, 0}, {1, 1, 1}, nullptr, nullptr, nullptr, nullptr, 0x900);
    if (KNode* copy = root->Clone(nullptr)) copy->Release();
    root->Release();
    return 0;
}
