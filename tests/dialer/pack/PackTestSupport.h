// Helpers for the pack and bitmap tests: BMP files built field by field, handset files and
// folders, and skin packs built in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "dialer/foundation/Services.h"
#include "dialer/foundation/SharedBuffer.h"
#include "dialer/pack/ResourcePack.h"
#include "platform/base/Handle.h"
#include "platform/base/WideString.h"
#include "platform/fs/Directories.h"
#include "platform/fs/Files.h"
#include "platform/gdi/Bitmap.h"
#include "tools/make_skin_pack/PackFolder.h"
#include "tools/make_skin_pack/SkinPackWriter.h"

namespace pack_test {

using Bytes = std::vector<std::uint8_t>;

inline void Put16(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
inline void Put32(Bytes& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}
inline void Patch32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Bytes per row of a bitmap, DWORD-aligned.
inline std::uint64_t Stride(std::int64_t width, int bits) { return ((width * bits + 7) / 8 + 3) & ~3ll; }

// A BMP file: 14-byte file header, 40-byte info header, the colour table (2^bits grey
// entries for 8 bits or fewer) or the three RGB565 masks for BI_BITFIELDS, then `rows` rows
// of pixel bytes following a pattern. The pixel offset and the sizes are those of a
// well-formed file; tests patch them to break it.
inline Bytes MakeBmp(std::int32_t width, std::int32_t height, int bits, std::uint32_t compression = BI_RGB,
                     std::int64_t rows = -1) {
    const std::uint64_t stride = Stride(width, bits);
    const std::uint64_t storedRows =
        rows >= 0 ? static_cast<std::uint64_t>(rows) : static_cast<std::uint64_t>(height < 0 ? -height : height);
    const std::uint32_t colors = bits <= 8 ? (1u << bits) : 0;
    const std::uint32_t tableBytes = compression == BI_BITFIELDS ? 12 : colors * 4;
    const std::uint32_t offset = 14 + 40 + tableBytes;
    Bytes file;
    file.push_back('B');
    file.push_back('M');
    Put32(file, static_cast<std::uint32_t>(offset + stride * storedRows));
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, static_cast<std::uint32_t>(width));
    Put32(file, static_cast<std::uint32_t>(height));
    Put16(file, 1);
    Put16(file, static_cast<std::uint32_t>(bits));
    Put32(file, compression);
    Put32(file, static_cast<std::uint32_t>(stride * storedRows));
    Put32(file, 3780);
    Put32(file, 3780);
    Put32(file, 0);
    Put32(file, 0);
    if (compression == BI_BITFIELDS) {
        Put32(file, 0xF800);
        Put32(file, 0x07E0);
        Put32(file, 0x001F);
    } else {
        for (std::uint32_t i = 0; i < colors; ++i) {
            const auto grey = static_cast<std::uint8_t>(i * 255 / (colors - 1));
            file.insert(file.end(), {grey, grey, grey, 0});
        }
    }
    for (std::uint64_t i = 0; i < stride * storedRows; ++i) file.push_back(static_cast<std::uint8_t>(i * 7 + 1));
    return file;
}

inline CSharedBuffer ToBuffer(const Bytes& bytes) {
    CSharedBuffer buffer = MakeSharedArray<BYTE>(bytes.size());
    if (buffer) std::memcpy(buffer.Data(), bytes.data(), bytes.size());
    return buffer;
}

inline Bytes FromBuffer(const CSharedBuffer& buffer) {
    return buffer ? Bytes(buffer.Data(), buffer.Data() + buffer.bytes) : Bytes();
}

inline Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline void WriteHandsetFile(const std::u16string& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, bytes.size());
    CloseHandle(file);
}

// Creates every folder of a handset path.
inline void MakeHandsetFolders(const std::u16string& path) {
    for (std::size_t at = path.find(u'\\', 1); at != std::u16string::npos; at = path.find(u'\\', at + 1))
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
}

// The files of a pack, by entry name.
using PackFiles = std::map<std::string, Bytes>;

inline Bytes BuildPack(const PackFiles& files, SkinPackWriter::EntryOptions options = {}) {
    SkinPackWriter writer;
    for (const auto& [name, bytes] : files) EXPECT_TRUE(writer.Add(name, bytes, options)) << writer.Error();
    EXPECT_TRUE(writer.Finish()) << writer.Error();
    return writer.Bytes();
}

// The same files as a zip pack at <folder>\<name>.dat and as the folder <folder>\<name>.
inline void WritePackBothWays(const std::u16string& folder, const std::u16string& name, const PackFiles& files) {
    MakeHandsetFolders(folder + u"\\" + name);
    WriteHandsetFile(folder + u"\\" + name + u".dat", BuildPack(files));
    for (const auto& [entry, bytes] : files)
        WriteHandsetFile(folder + u"\\" + name + u"\\" + std::u16string(entry.begin(), entry.end()), bytes);
}

// The demo pack data/dialer/packs/qa_layouts, found from this file's place in the source
// tree and packed in memory as the data build packs it.
inline std::filesystem::path DemoPackFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "data" / "dialer" /
           "packs" / "qa_layouts";
}

inline CRefPtr<CResourcePack> OpenDemoPack() {
    std::vector<PackFile> files;
    std::string error;
    EXPECT_TRUE(ReadPackFolder(DemoPackFolder(), &files, &error)) << error;
    PackFiles entries;
    for (PackFile& file : files) entries[file.entryName] = std::move(file.data);
    return OpenResourcePackInMemory(ToBuffer(BuildPack(entries)));
}

// A pack repository that hands out one pack, under the name `name`.
class CFixedPacks : public CPackRepositoryService {
public:
    CFixedPacks(LPCWSTR name, CRefPtr<CResourcePack> pack) : m_name(name), m_pack(std::move(pack)) {}
    CResourcePack* GetPack(LPCWSTR name) override {
        return name != nullptr && _wcsicmp(name, m_name.c_str()) == 0 ? CRefPtr<CResourcePack>(m_pack).Detach()
                                                                      : nullptr;
    }

private:
    std::u16string m_name;
    CRefPtr<CResourcePack> m_pack;
};

// Installs a CFixedPacks as the process's pack repository while it lives.
class ScopedPacks {
public:
    ScopedPacks(LPCWSTR name, CRefPtr<CResourcePack> pack) {
        CRefPtr<CPackRepositoryService> packs(new CFixedPacks(name, std::move(pack)));
        SetPackRepository(packs.Holder());
    }
    ~ScopedPacks() { SetPackRepository(nullptr); }
    ScopedPacks(const ScopedPacks&) = delete;
    ScopedPacks& operator=(const ScopedPacks&) = delete;
};

}  // namespace pack_test
