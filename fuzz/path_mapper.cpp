// Handset path mapping: the bytes are UTF-16LE code units of a path; whatever maps must lie
// under <root>/fs and map back to the same handset path.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/base/HandsetRoot.h"
#include "platform/base/WideString.h"

namespace {

std::string FuzzFsRoot() {
    char folder[] = "/tmp/fuzz-path-mapper-XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    platform::SetHandsetRoot(folder);
    // A few entries for the look-up without case to find.
    std::filesystem::create_directories(std::string(folder) + "/fs/Program Files/Quorvane");
    std::filesystem::create_directories(std::string(folder) + "/fs/Windows");
    std::atexit([] { std::filesystem::remove_all(platform::HandsetRoot()); });
    return platform::HandsetRoot() + "/fs";
}

void CheckMapped(const platform::MappedPath& mapped, const std::string& fsRoot) {
    if (mapped.error != platform::PathError::None) return;
    const std::string& path = mapped.linuxPath;
    if (path != fsRoot && path.compare(0, fsRoot.size() + 1, fsRoot + "/") != 0) std::abort();
    if (path.find("/../") != std::string::npos || path.find("/./") != std::string::npos) std::abort();
    auto back = platform::HandsetPathFromLinux(path);
    if (!back || back->size() != mapped.handset.size()) std::abort();
    if (_wcsicmp(back->c_str(), mapped.handset.c_str()) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string fsRoot = FuzzFsRoot();
    std::u16string path(size / 2, u'\0');
    for (std::size_t i = 0; i < path.size(); ++i) path[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    CheckMapped(platform::MapHandsetPath(path), fsRoot);
    CheckMapped(platform::MapHandsetFindPattern(path).folder, fsRoot);
    return 0;
}
