// Writes skin packs: zip archives whose entries are encrypted with the traditional zip
// cipher under the pack password, deflated when that makes them smaller. The archive is
// built in memory; local headers carry their sizes unless an entry asks for a data
// descriptor, as a zip tool writing from a pipe makes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/zip_records/ZipRecords.h"

class SkinPackWriter {
public:
    struct EntryOptions {
        bool encrypt = true;
        bool deflate = true;  // when false, or when deflating gains nothing, stored as is
        // CRC and sizes after the data; the encryption header's check byte is then the high
        // byte of the entry's time, not of its CRC.
        bool dataDescriptor = false;
        const char* password = nullptr;  // null: the pack password
    };

    // Adds one entry; name is in the archive's ANSI page. False (with Error()) for a name
    // or size that a zip archive cannot hold, or after Finish.
    bool Add(const std::string& name, const std::vector<std::uint8_t>& data, EntryOptions options);
    bool Add(const std::string& name, const std::vector<std::uint8_t>& data) { return Add(name, data, EntryOptions()); }
    // Appends the central directory; the archive is complete only after this.
    bool Finish();

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    const std::string& Error() const { return error_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::vector<zip_records::Entry> entries_;
    std::string error_;
    bool finished_ = false;
};

// The UTF-8 text in the archive's ANSI page (Windows-1252); false when a character has no
// place in it.
bool ToPackEntryName(const std::string& utf8, std::string* ansi);
