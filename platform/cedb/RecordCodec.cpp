// Writing and reading the stored form of a record, field by field.
#include "platform/cedb/RecordCodec.h"

#include <cstdio>
#include <unordered_map>

namespace platform::cedb {

namespace {

void PutU16(std::vector<BYTE>& out, std::uint16_t value) {
    out.push_back(static_cast<BYTE>(value));
    out.push_back(static_cast<BYTE>(value >> 8));
}

void PutU32(std::vector<BYTE>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<BYTE>(value >> shift));
}

void PutU64(std::vector<BYTE>& out, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<BYTE>(value >> shift));
}

std::uint64_t GetLittleEndian(const BYTE* data, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value |= static_cast<std::uint64_t>(data[i]) << (8 * i);
    return value;
}

std::string Describe(const char* format, std::size_t index, CEPROPID id) {
    char text[160];
    std::snprintf(text, sizeof text, format, index, static_cast<unsigned>(id));
    return text;
}

}  // namespace

std::vector<BYTE> EncodeRecord(const std::vector<PropertyValue>& properties) {
    std::vector<BYTE> out;
    PutU16(out, kRecordFormat);
    PutU16(out, static_cast<std::uint16_t>(properties.size()));
    for (const PropertyValue& property : properties) {
        PutU32(out, property.id);
        PutU32(out, static_cast<std::uint32_t>(property.DataSize()));
        switch (property.Type()) {
            case CEVT_LPWSTR:
                for (char16_t unit : property.text) PutU16(out, unit);
                break;
            case CEVT_BLOB:
                out.insert(out.end(), property.bytes.begin(), property.bytes.end());
                break;
            default:
                if (FixedValueSize(property.Type()) == 2)
                    PutU16(out, static_cast<std::uint16_t>(property.scalar));
                else if (FixedValueSize(property.Type()) == 4)
                    PutU32(out, static_cast<std::uint32_t>(property.scalar));
                else
                    PutU64(out, property.scalar);
                break;
        }
    }
    return out;
}

bool DecodeRecord(const BYTE* data, std::size_t size, std::vector<PropertyValue>& properties, std::string& problem) {
    properties.clear();
    if (size < 4) {
        problem = "the record is shorter than its 4-byte header";
        return false;
    }
    if (size > CEDB_MAXRECORDSIZE + 65536) {
        problem = "the record is larger than a record can be";
        return false;
    }
    std::uint32_t format = static_cast<std::uint32_t>(GetLittleEndian(data, 2));
    if (format != kRecordFormat) {
        problem = "the record has the unknown format " + std::to_string(format);
        return false;
    }
    std::size_t count = static_cast<std::size_t>(GetLittleEndian(data + 2, 2));
    std::size_t offset = 4;
    std::unordered_map<CEPROPID, std::size_t> placeOf;
    for (std::size_t index = 0; index < count; ++index) {
        if (size - offset < 8) {
            problem = "property " + std::to_string(index) + " is cut off in its header";
            return false;
        }
        PropertyValue value;
        value.id = static_cast<CEPROPID>(GetLittleEndian(data + offset, 4));
        std::uint64_t length = GetLittleEndian(data + offset + 4, 4);
        offset += 8;
        WORD type = value.Type();
        if (!IsRecordValueType(type)) {
            problem = Describe("property %zu has id 0x%08X of a type that records do not hold", index, value.id);
            return false;
        }
        if (length > CEDB_MAXPROPDATASIZE || length > size - offset) {
            problem = Describe("property %zu (id 0x%08X) is longer than the data left in the record", index, value.id);
            return false;
        }
        const BYTE* bytes = data + offset;
        std::uint32_t fixed = FixedValueSize(type);
        if (fixed != 0) {
            if (length != fixed) {
                problem = Describe("property %zu (id 0x%08X) has the wrong length for its type", index, value.id);
                return false;
            }
            value.scalar = GetLittleEndian(bytes, fixed);
        } else if (type == CEVT_LPWSTR) {
            if (length % 2 != 0) {
                problem = Describe("string property %zu (id 0x%08X) has an odd byte count", index, value.id);
                return false;
            }
            value.text.resize(static_cast<std::size_t>(length / 2));
            for (std::size_t i = 0; i < value.text.size(); ++i) {
                value.text[i] = static_cast<char16_t>(GetLittleEndian(bytes + 2 * i, 2));
                if (value.text[i] == 0) {
                    problem = Describe("string property %zu (id 0x%08X) holds a zero character", index, value.id);
                    return false;
                }
            }
        } else {
            value.bytes.assign(bytes, bytes + length);
        }
        offset += static_cast<std::size_t>(length);
        auto [place, inserted] = placeOf.emplace(value.id, properties.size());
        if (inserted)
            properties.push_back(std::move(value));
        else
            properties[place->second] = std::move(value);
    }
    if (offset != size) {
        problem = "the record has " + std::to_string(size - offset) + " bytes after its last property";
        return false;
    }
    return true;
}

}  // namespace platform::cedb
