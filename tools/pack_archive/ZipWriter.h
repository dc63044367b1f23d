// Writes ".par" archives: plain ZIP files whose local headers come one after another in
// the order of the central directory and carry their sizes (no data descriptors), which
// is what the game's archive scan walks.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tools/zip_records/ZipRecords.h"

class ZipWriter {
public:
    explicit ZipWriter(const std::string& path);

    // Adds one entry; data is deflated when that makes it smaller, else stored.
    // Returns false (with Error()) on a write failure or an entry that ZIP cannot hold.
    bool Add(const std::string& name, const std::vector<std::uint8_t>& data);
    // Writes the central directory; the archive is complete only after this.
    bool Finish();

    const std::string& Error() const { return error_; }

private:
    bool Write(const std::vector<std::uint8_t>& bytes);

    std::ofstream out_;
    std::string error_;
    std::uint64_t offset_ = 0;
    std::vector<zip_records::Entry> entries_;
};
