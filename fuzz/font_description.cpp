// Font descriptions (".font"): what reads is rendered from the installed faces and encoded as
// make_font does, when its page and characters are few enough to keep the fuzzer fast. Faces
// are looked up only by a plain file name, so that the harness opens no other file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/make_font/FontSheet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FontDescription description;
    FontSheet sheet;
    std::string error;
    if (!ParseFontDescription(std::string(reinterpret_cast<const char*>(data), size), &description, &error) ||
        description.face.find('/') != std::string::npos || description.width * description.height > 256 * 256 ||
        description.characters.size() > 64 || !RenderFontSheet(description, kDejaVuFontFolder, &sheet, &error))
        return 0;
    EncodeTga(sheet.page);
    EncodeDds(sheet.page);
    EncodeGlyphFile(sheet);
    return 0;
}
