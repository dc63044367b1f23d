// Reading a pack folder into entries.
#include "tools/make_skin_pack/PackFolder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

#include "tools/make_skin_pack/PixelMap.h"
#include "tools/make_skin_pack/SkinPackWriter.h"

namespace fs = std::filesystem;

namespace {

// PGM and PPM texts become BMP entries of the same name.
bool IsPixelMap(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".pgm" || tail == ".ppm";
}

}  // namespace

bool ReadPackFolder(const fs::path& folder, std::vector<PackFile>* files, std::string* error) {
    std::error_code failure;
    if (!fs::is_directory(folder, failure)) {
        *error = folder.string() + " is not a folder";
        return false;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder, failure)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory()) {
            *error = name + ": skin packs hold no subfolders";
            return false;
        }
        if (entry.is_regular_file()) names.push_back(name);
    }
    if (failure) {
        *error = "cannot list " + folder.string();
        return false;
    }
    std::sort(names.begin(), names.end());

    files->clear();
    std::set<std::string> taken;
    for (const std::string& name : names) {
        std::ifstream in(folder / name, std::ios::binary);
        std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            *error = "cannot read " + name;
            return false;
        }
        if (data.empty()) {
            *error = name + " is empty, and a pack cannot serve an empty entry";
            return false;
        }
        std::string entryName = name;
        if (IsPixelMap(name)) {
            std::vector<std::uint8_t> bmp;
            std::string why;
            if (!PixelMapToBmp(std::string(data.begin(), data.end()), &bmp, &why)) {
                *error = name + ": " + why;
                return false;
            }
            data = std::move(bmp);
            entryName = name.substr(0, name.size() - 4) + ".bmp";
        }
        std::string ansi;
        if (!ToPackEntryName(entryName, &ansi)) {
            *error = name + ": the name has characters a pack cannot hold";
            return false;
        }
        if (!taken.insert(ansi).second) {
            *error = name + ": another file of the folder already gives the entry " + entryName;
            return false;
        }
        files->push_back(PackFile{ansi, std::move(data)});
    }
    return true;
}
