// The data folder, one global buffer.
#include "engine/core/files/DataFolder.h"

#include <cstring>

namespace {
char dataFolder[kDataFolderCapacity];
std::size_t dataFolderLength = 0;
}  // namespace

void SetDataFolder(const char* folder) {
    if (folder == nullptr) folder = "";
    dataFolderLength = strnlen(folder, kDataFolderCapacity - 1);
    std::memcpy(dataFolder, folder, dataFolderLength);
    dataFolder[dataFolderLength] = 0;
}

const char* DataFolder() { return dataFolder; }

std::size_t DataFolderLength() { return dataFolderLength; }
