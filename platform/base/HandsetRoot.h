// The handset root (HANDSET_ROOT) and the mapping of handset paths ("\Program Files\...")
// to Linux paths under <root>/fs/. Look-up ignores case, as the handset's file system does;
// a path that would leave the root is refused.
#pragma once

#include <optional>
#include <string>

#include "platform/base/Types.h"

namespace platform {

// The handset root: HANDSET_ROOT, or a folder under the user's data directory. Created on
// first use.
const std::string& HandsetRoot();
// Tests point the process at a fresh root (children inherit it through HANDSET_ROOT).
void SetHandsetRoot(const std::string& root);

enum class PathError { None, Empty, TooLong, EscapesRoot, InvalidCharacter };

struct MappedPath {
    std::string linuxPath;   // absolute Linux path under <root>/fs
    std::u16string handset;  // normalised handset path, "\"-separated, starting with "\", case as given
    PathError error = PathError::None;
};

// Normalises a handset path ("\", "/" and repeated separators, "." and "..") and maps it
// under <root>/fs/. Existing components are matched without case, so "\program files\QUORVANE"
// finds "Program Files/Quorvane"; missing components keep the case given. Paths longer
// than MAX_PATH characters, paths whose ".." would leave the root and paths through a
// symbolic link that leads out of <root>/fs (or nowhere) give an error.
MappedPath MapHandsetPath(LPCWSTR handsetPath);
MappedPath MapHandsetPath(const std::u16string& handsetPath);

// For find-file: the last component may hold the wildcards '*' and '?'. It comes back in
// `pattern` as given (empty for "\"); `folder` is the rest, mapped as by MapHandsetPath.
struct MappedPattern {
    MappedPath folder;
    std::u16string pattern;
};
MappedPattern MapHandsetFindPattern(const std::u16string& handsetPattern);

// Whether `name` can be one component of a handset path: not empty, not "." or "..", no
// separator and no character that the handset forbids in names.
bool IsValidHandsetName(const std::u16string& name);

// The reverse: a Linux path under <root>/fs/ to its handset path; nothing otherwise.
std::optional<std::u16string> HandsetPathFromLinux(const std::string& linuxPath);

}  // namespace platform
