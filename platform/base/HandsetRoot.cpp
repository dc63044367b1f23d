// The handset root and the mapping of handset paths to Linux paths under <root>/fs/, with
// the handset's case-insensitive look-up of existing names.
#include "platform/base/HandsetRoot.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/base/CodePage.h"
#include "platform/base/WideString.h"

namespace platform {

namespace {

// Every root ever set stays alive, so that a reference handed out by HandsetRoot() never
// dangles when a test points the process at a new root, nor in static destructors.
std::mutex g_rootMutex;
std::atomic<const std::string*> g_currentRoot{nullptr};

std::deque<std::string>& Roots() {
    static auto* roots = new std::deque<std::string>;
    return *roots;
}

// Linux refuses longer names in one folder entry.
constexpr std::size_t kLinuxNameMax = 255;

std::string DefaultRoot() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and to be ignored.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/handset";
    const char* home = std::getenv("HOME");
    std::string homeFolder = home && home[0] ? home : "";
    if (homeFolder.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) homeFolder = entry->pw_dir;
    }
    if (homeFolder.empty()) homeFolder = "/tmp";
    return homeFolder + "/.local/share/handset";
}

std::string NormaliseRoot(const std::string& root) {
    std::filesystem::path path(root.empty() ? std::string(".") : root);
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) absolute = path;
    std::string text = absolute.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

void CreateFolders(const std::string& root) {
    std::error_code error;
    std::filesystem::create_directories(root + "/fs", error);
    if (error)
        std::fprintf(stderr, "handset root %s: the folder %s/fs cannot be created (%s).\n", root.c_str(),
                     root.c_str(), error.message().c_str());
}

const std::string& InstallRoot(const std::string& root) {
    Roots().push_back(NormaliseRoot(root));
    const std::string& installed = Roots().back();
    CreateFolders(installed);
    g_currentRoot.store(&installed, std::memory_order_release);
    return installed;
}

std::string FsRoot() {
    const std::string& root = HandsetRoot();
    return root == "/" ? std::string("/fs") : root + "/fs";
}

bool IsForbiddenCharacter(char16_t c, bool wildcardAllowed) {
    if (c < 0x20) return true;  // NUL and control characters
    switch (c) {
        case u'<':
        case u'>':
        case u':':
        case u'"':
        case u'|':
            return true;
        case u'*':
        case u'?':
            return !wildcardAllowed;
        default:
            return false;
    }
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Checks one component's characters. Unpaired surrogates are refused: they have no UTF-8
// form, and two different handset names must never land on the same Linux name.
bool IsValidComponent(std::u16string_view component, bool wildcardAllowed) {
    for (std::size_t i = 0; i < component.size(); ++i) {
        char16_t c = component[i];
        if (IsForbiddenCharacter(c, wildcardAllowed)) return false;
        if (IsHighSurrogate(c)) {
            if (i + 1 >= component.size() || !IsLowSurrogate(component[i + 1])) return false;
            ++i;
        } else if (IsLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

struct SplitPath {
    std::vector<std::u16string_view> raw;  // the components as written
    PathError error = PathError::None;
};

SplitPath SplitRaw(std::u16string_view path) {
    SplitPath result;
    if (path.empty()) {
        result.error = PathError::Empty;
        return result;
    }
    // A path must fit a MAX_PATH buffer with its terminator; checking first also bounds
    // the work done for absurd input.
    if (path.size() >= MAX_PATH) {
        result.error = PathError::TooLong;
        return result;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            if (i > start) result.raw.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return result;
}

// Resolves "." and ".." of raw components. The handset has no current folder: a path
// without a leading separator starts at "\" as well.
PathError Normalise(const std::vector<std::u16string_view>& raw, std::vector<std::u16string>& components) {
    for (std::u16string_view component : raw) {
        if (!IsValidComponent(component, false)) return PathError::InvalidCharacter;
        if (component == u".") continue;
        if (component == u"..") {
            if (components.empty()) return PathError::EscapesRoot;
            components.pop_back();
            continue;
        }
        components.emplace_back(component);
    }
    return PathError::None;
}

std::u16string JoinHandset(const std::vector<std::u16string>& components) {
    std::u16string handset;
    for (const auto& component : components) handset += u'\\' + component;
    return handset.empty() ? std::u16string(u"\\") : handset;
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && towlower(a[i]) != towlower(b[i])) return false;
    return true;
}

// Whether the symbolic link at `linuxPath` leads to a place inside <root>/fs (itself
// included). A link that leads nowhere is not followed either.
bool LinkStaysInside(const std::string& linuxPath, const std::string& fsRoot) {
    char* target = realpath(linuxPath.c_str(), nullptr);
    if (target == nullptr) return false;
    const std::string resolved = target;
    std::free(target);
    char* base = realpath(fsRoot.c_str(), nullptr);
    if (base == nullptr) return false;
    const std::string canonicalRoot = base;
    std::free(base);
    if (canonicalRoot == "/") return true;
    return resolved == canonicalRoot ||
           (resolved.size() > canonicalRoot.size() && resolved.compare(0, canonicalRoot.size(), canonicalRoot) == 0 &&
            resolved[canonicalRoot.size()] == '/');
}

// Finds the folder entry that matches `name` without case. Several entries can differ only
// in case on Linux; the first in byte order wins so that the choice is stable.
std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, std::u16string_view name) {
    DIR* directory = opendir(folder.c_str());
    if (!directory) return std::nullopt;
    std::optional<std::string> best;
    while (const dirent* entry = readdir(directory)) {
        std::string entryName = entry->d_name;
        if (entryName == "." || entryName == "..") continue;
        std::u16string wide = Utf8ToUtf16(entryName);
        // A name that is not valid UTF-8 cannot be reached by a handset path.
        if (Utf16ToUtf8(wide) != entryName) continue;
        if (!EqualIgnoringCase(wide, name)) continue;
        if (!best || entryName < *best) best = entryName;
    }
    closedir(directory);
    return best;
}

MappedPath MapComponents(const std::vector<std::u16string>& components) {
    MappedPath mapped;
    mapped.handset = JoinHandset(components);
    if (mapped.handset.size() >= MAX_PATH) {
        mapped.error = PathError::TooLong;
        return mapped;
    }
    const std::string fsRoot = FsRoot();
    std::string linuxPath = fsRoot;
    bool folderExists = true;
    for (const auto& component : components) {
        std::string name = Utf16ToUtf8(component);
        if (name.size() > kLinuxNameMax) {
            mapped.error = PathError::TooLong;
            return mapped;
        }
        std::string exact = linuxPath + "/" + name;
        if (!folderExists) {
            linuxPath = std::move(exact);
            continue;
        }
        struct stat info;
        bool exists = lstat(exact.c_str(), &info) == 0;
        if (exists) {
            linuxPath = std::move(exact);
        } else if (auto found = FindEntryIgnoringCase(linuxPath, component)) {
            linuxPath += "/" + *found;
            exists = lstat(linuxPath.c_str(), &info) == 0;
        } else {
            linuxPath = std::move(exact);
            folderExists = false;
        }
        // A symbolic link is followed only within the handset's file system, as ".." is.
        if (exists && S_ISLNK(info.st_mode) && !LinkStaysInside(linuxPath, fsRoot)) {
            mapped.error = PathError::EscapesRoot;
            return mapped;
        }
    }
    mapped.linuxPath = std::move(linuxPath);
    return mapped;
}

std::optional<std::u16string> RelativeHandsetPath(const std::filesystem::path& path,
                                                  const std::filesystem::path& base) {
    // `base` is <root>/fs as FsRoot gives it: absolute, normal, no trailing separator.
    auto pathIt = path.begin();
    for (auto baseIt = base.begin(); baseIt != base.end(); ++baseIt, ++pathIt) {
        if (pathIt == path.end() || *pathIt != *baseIt) return std::nullopt;
    }
    std::vector<std::u16string> components;
    for (; pathIt != path.end(); ++pathIt) {
        if (pathIt->empty() || *pathIt == ".") continue;
        std::string name = pathIt->string();
        std::u16string wide = Utf8ToUtf16(name);
        // A Linux name that no handset path could name has no handset path either.
        if (Utf16ToUtf8(wide) != name || !IsValidHandsetName(wide)) return std::nullopt;
        components.push_back(std::move(wide));
    }
    std::u16string handset = JoinHandset(components);
    if (handset.size() >= MAX_PATH) return std::nullopt;
    return handset;
}

}  // namespace

const std::string& HandsetRoot() {
    if (const std::string* root = g_currentRoot.load(std::memory_order_acquire)) return *root;
    std::lock_guard<std::mutex> lock(g_rootMutex);
    if (const std::string* root = g_currentRoot.load(std::memory_order_acquire)) return *root;
    const char* fromEnvironment = std::getenv("HANDSET_ROOT");
    return InstallRoot(fromEnvironment && fromEnvironment[0] ? std::string(fromEnvironment) : DefaultRoot());
}

void SetHandsetRoot(const std::string& root) {
    std::lock_guard<std::mutex> lock(g_rootMutex);
    const std::string& installed = InstallRoot(root);
    // Child processes find the same handset.
    setenv("HANDSET_ROOT", installed.c_str(), 1);
}

MappedPath MapHandsetPath(const std::u16string& handsetPath) {
    MappedPath failed;
    SplitPath split = SplitRaw(handsetPath);
    if (split.error != PathError::None) {
        failed.error = split.error;
        return failed;
    }
    std::vector<std::u16string> components;
    failed.error = Normalise(split.raw, components);
    if (failed.error != PathError::None) return failed;
    return MapComponents(components);
}

MappedPath MapHandsetPath(LPCWSTR handsetPath) {
    if (!handsetPath) {
        MappedPath failed;
        failed.error = PathError::Empty;
        return failed;
    }
    // Stop counting once the path is over the limit: it is refused anyway.
    std::size_t length = 0;
    while (handsetPath[length] != 0 && length <= MAX_PATH) ++length;
    return MapHandsetPath(std::u16string(handsetPath, length));
}

MappedPattern MapHandsetFindPattern(const std::u16string& handsetPattern) {
    MappedPattern result;
    SplitPath split = SplitRaw(handsetPattern);
    if (split.error != PathError::None) {
        result.folder.error = split.error;
        return result;
    }
    // The pattern is the last component as written: "." and ".." in its place name no
    // entry that a find lists, so they simply match nothing.
    if (!split.raw.empty()) {
        if (!IsValidComponent(split.raw.back(), true)) {
            result.folder.error = PathError::InvalidCharacter;
            return result;
        }
        result.pattern = split.raw.back();
        split.raw.pop_back();
    }
    std::vector<std::u16string> components;
    PathError error = Normalise(split.raw, components);
    if (error != PathError::None) {
        result.folder.error = error;
        return result;
    }
    result.folder = MapComponents(components);
    return result;
}

bool IsValidHandsetName(const std::u16string& name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    for (char16_t c : name)
        if (IsSeparator(c)) return false;
    return IsValidComponent(name, false);
}

std::optional<std::u16string> HandsetPathFromLinux(const std::string& linuxPath) {
    if (linuxPath.empty()) return std::nullopt;
    std::error_code error;
    std::filesystem::path base(FsRoot());
    std::filesystem::path given = std::filesystem::absolute(linuxPath, error);
    if (error) return std::nullopt;
    given = given.lexically_normal();
    if (auto found = RelativeHandsetPath(given, base)) return found;
    // The same place reached through symbolic links (a temporary folder behind a link, a
    // root given through a link).
    std::filesystem::path canonicalBase = std::filesystem::weakly_canonical(base, error);
    if (error) return std::nullopt;
    std::filesystem::path canonicalGiven = std::filesystem::weakly_canonical(given, error);
    if (error) return std::nullopt;
    return RelativeHandsetPath(canonicalGiven, canonicalBase);
}

}  // namespace platform
