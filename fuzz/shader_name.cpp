// A shader's quoted-name line in a scene file: read into a shader (a stand-alone effect is
// made for the name, without a render device).
#include "engine/resources/shader/Shader.h"
#include "fuzz/FuzzStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = HeapInit() == 0;
    FileStream stream;
    if (!ready || !AttachFuzzInput(stream, data, size, kStreamText)) return 0;
    auto* shader = new Shader;
    while (!stream.AtEnd() && shader != nullptr && shader->Read(stream) == 0) {
    }
    if (shader != nullptr) shader->Release();
    return 0;
}
