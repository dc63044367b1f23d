// Key paths and names of the registry: splitting, folding and their stored byte form.
#include "platform/registry/RegistryPath.h"

#include "platform/base/Errors.h"
#include "platform/base/WideString.h"
#include "platform/registry/Registry.h"

namespace platform::registry {

namespace {

constexpr WCHAR kSeparator = u'\\';

// The longest subkey argument worth reading: the deepest path of the longest names with
// separators and a leading and trailing "\". Anything longer is refused before it is read
// to its end.
constexpr std::size_t kMaxPathChars = std::size_t{kMaxKeyDepth} * (kMaxNameChars + 1) + 1;

std::size_t BoundedLength(LPCWSTR text, std::size_t limit) {
    std::size_t length = 0;
    while (length <= limit && text[length] != 0) ++length;
    return length;
}

}  // namespace

LONG SplitKeyPath(LPCWSTR subKey, std::vector<std::u16string>& names) {
    names.clear();
    if (subKey == nullptr) return ERROR_SUCCESS;
    const std::size_t length = BoundedLength(subKey, kMaxPathChars);
    if (length > kMaxPathChars) return ERROR_INVALID_PARAMETER;
    std::u16string_view path(subKey, length);
    if (!path.empty() && path.front() == kSeparator) path.remove_prefix(1);
    if (!path.empty() && path.back() == kSeparator) path.remove_suffix(1);
    if (path.empty()) return ERROR_SUCCESS;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find(kSeparator, start);
        const std::u16string_view name =
            path.substr(start, end == std::u16string_view::npos ? path.size() - start : end - start);
        if (name.empty() || name.size() > kMaxNameChars || names.size() >= kMaxKeyDepth) {
            names.clear();
            return ERROR_INVALID_PARAMETER;
        }
        names.emplace_back(name);
        if (end == std::u16string_view::npos) break;
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

LONG ReadName(LPCWSTR text, std::u16string& name) {
    name.clear();
    if (text == nullptr) return ERROR_SUCCESS;
    const std::size_t length = BoundedLength(text, kMaxNameChars);
    if (length > kMaxNameChars) return ERROR_INVALID_PARAMETER;
    name.assign(text, length);
    return ERROR_SUCCESS;
}

std::u16string FoldName(std::u16string_view name) {
    std::u16string folded(name);
    for (WCHAR& c : folded) c = towupper(c);
    return folded;
}

std::u16string JoinPath(const std::u16string& base, const std::u16string& foldedName) {
    if (base.empty()) return foldedName;
    std::u16string path;
    path.reserve(base.size() + 1 + foldedName.size());
    path.append(base).push_back(kSeparator);
    path.append(foldedName);
    return path;
}

std::u16string ParentPath(const std::u16string& path) {
    const std::size_t last = path.rfind(kSeparator);
    return last == std::u16string::npos ? std::u16string() : path.substr(0, last);
}

std::size_t PathDepth(const std::u16string& path) {
    if (path.empty()) return 0;
    std::size_t depth = 1;
    for (WCHAR c : path)
        if (c == kSeparator) ++depth;
    return depth;
}

std::vector<std::uint8_t> EncodeName(std::u16string_view name) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(name.size() * 2);
    for (WCHAR c : name) {
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
    }
    return bytes;
}

std::u16string DecodeName(const std::uint8_t* bytes, std::size_t count) {
    std::u16string name;
    name.reserve(count / 2);
    for (std::size_t i = 0; i + 1 < count; i += 2)
        name.push_back(static_cast<WCHAR>((static_cast<unsigned>(bytes[i]) << 8) | bytes[i + 1]));
    return name;
}

}  // namespace platform::registry
