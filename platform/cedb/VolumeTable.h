// The volumes this process has mounted, by volume id, and the one lock that every call of
// the property-database library takes.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/cedb/Volume.h"

namespace platform::cedb {

std::recursive_mutex& CedbLock();

// "pim.vol" and "\pim.vol" are the file pim.vol in the handset root; names are single file
// names compared without case. Fails with ERROR_INVALID_NAME.
bool VolumePathFromName(LPCWSTR name, std::string& path, DWORD& error);

// Mounts (or counts one more mount of) a volume and fills its volume id.
bool MountVolume(LPCWSTR name, DWORD creation, CEGUID& guid, DWORD& error);
bool UnmountVolume(const CEGUID* guid, DWORD& error);
// The mounted volume behind a volume id; null with ERROR_INVALID_PARAMETER otherwise.
std::shared_ptr<Volume> MountedVolume(const CEGUID* guid, DWORD& error);
CEGUID GuidOf(const Volume& volume);
// Every volume object alive in this process (mounted, or kept by open handles).
std::vector<std::shared_ptr<Volume>> LiveVolumes();

}  // namespace platform::cedb
