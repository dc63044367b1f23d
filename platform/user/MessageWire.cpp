// Encoding and decoding of the messages that travel between processes, field by field;
// every length is checked against the bytes that are there.
#include "platform/user/MessageWire.h"

#include "platform/user/MessageTypes.h"

namespace platform::user::wire {

namespace {

class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
    void U16(std::uint16_t value) { Bytes(value, 2); }
    void U32(std::uint32_t value) { Bytes(value, 4); }
    void U64(std::uint64_t value) { Bytes(value, 8); }

private:
    void Bytes(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i) out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
    std::vector<std::uint8_t>& out_;
};

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint16_t U16() { return static_cast<std::uint16_t>(Bytes(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Bytes(4)); }
    std::uint64_t U64() { return Bytes(8); }

private:
    // Callers check the size first; reading past the end is a programming error.
    std::uint64_t Bytes(int count) {
        std::uint64_t value = 0;
        for (int i = 0; i < count && offset_ < size_; ++i)
            value |= static_cast<std::uint64_t>(data_[offset_++]) << (8 * i);
        return value;
    }
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

bool KindIsKnown(std::uint16_t kind) { return kind >= 1 && kind <= 4; }

}  // namespace

std::vector<std::uint8_t> EncodeRequest(const Request& request) {
    std::vector<std::uint8_t> out;
    out.reserve(kRequestHeaderBytes + (request.hasCopyData ? kCopyDataHeaderBytes + request.copyData.size() : 0));
    Writer writer(out);
    writer.U32(kRequestMagic);
    writer.U16(kVersion);
    writer.U16(static_cast<std::uint16_t>(request.kind));
    writer.U64(request.window);
    writer.U32(request.message);
    writer.U32(request.hasCopyData ? kFlagCopyData : 0);
    writer.U64(request.wParam);
    writer.U64(static_cast<std::uint64_t>(request.lParam));
    if (request.hasCopyData) {
        writer.U64(request.copyDataTag);
        writer.U32(static_cast<std::uint32_t>(request.copyData.size()));
        out.insert(out.end(), request.copyData.begin(), request.copyData.end());
    }
    return out;
}

DecodeStatus DecodeRequest(const std::uint8_t* data, std::size_t size, Request& request, std::size_t& frameBytes,
                           std::string& error) {
    frameBytes = kRequestHeaderBytes;
    if (size < kRequestHeaderBytes) return DecodeStatus::NeedMore;
    Reader reader(data, size);
    if (reader.U32() != kRequestMagic) {
        error = "The window message does not start with the request mark.";
        return DecodeStatus::Invalid;
    }
    std::uint16_t version = reader.U16();
    if (version != kVersion) {
        error = "The window message has version " + std::to_string(version) + ", not " + std::to_string(kVersion) + ".";
        return DecodeStatus::Invalid;
    }
    std::uint16_t kind = reader.U16();
    if (!KindIsKnown(kind)) {
        error = "The window message has the unknown kind " + std::to_string(kind) + ".";
        return DecodeStatus::Invalid;
    }
    request.kind = static_cast<RequestKind>(kind);
    request.window = reader.U64();
    request.message = reader.U32();
    std::uint32_t flags = reader.U32();
    request.wParam = reader.U64();
    request.lParam = static_cast<std::int64_t>(reader.U64());
    if ((flags & ~kFlagCopyData) != 0) {
        error = "The window message has unknown flags " + std::to_string(flags) + ".";
        return DecodeStatus::Invalid;
    }
    request.hasCopyData = (flags & kFlagCopyData) != 0;
    bool isCopyData = request.message == WM_COPYDATA;
    bool carriesMessage = request.kind == RequestKind::Post || request.kind == RequestKind::Send;
    if (!carriesMessage && (request.message != 0 || request.wParam != 0 || request.lParam != 0 || request.hasCopyData)) {
        error = "An activation request carries a message.";
        return DecodeStatus::Invalid;
    }
    if (request.hasCopyData != (carriesMessage && isCopyData) || (isCopyData && request.kind != RequestKind::Send)) {
        error = "WM_COPYDATA must be sent, with its payload, and only WM_COPYDATA has a payload.";
        return DecodeStatus::Invalid;
    }
    request.copyDataTag = 0;
    request.copyData.clear();
    if (!request.hasCopyData) {
        frameBytes = kRequestHeaderBytes;
        return DecodeStatus::Complete;
    }
    frameBytes = kRequestHeaderBytes + kCopyDataHeaderBytes;
    if (size < frameBytes) return DecodeStatus::NeedMore;
    Reader payloadHeader(data + kRequestHeaderBytes, kCopyDataHeaderBytes);
    request.copyDataTag = payloadHeader.U64();
    std::uint32_t payloadBytes = payloadHeader.U32();
    if (payloadBytes > kMaxCopyDataBytes) {
        error = "The WM_COPYDATA payload of " + std::to_string(payloadBytes) + " bytes is larger than " +
                std::to_string(kMaxCopyDataBytes) + ".";
        return DecodeStatus::Invalid;
    }
    frameBytes = kRequestHeaderBytes + kCopyDataHeaderBytes + std::size_t{payloadBytes};
    if (size < frameBytes) return DecodeStatus::NeedMore;
    const std::uint8_t* payload = data + kRequestHeaderBytes + kCopyDataHeaderBytes;
    request.copyData.assign(payload, payload + payloadBytes);
    return DecodeStatus::Complete;
}

std::array<std::uint8_t, kReplyBytes> EncodeReply(const Reply& reply) {
    std::vector<std::uint8_t> out;
    Writer writer(out);
    writer.U32(kReplyMagic);
    writer.U32(static_cast<std::uint32_t>(reply.status));
    writer.U64(static_cast<std::uint64_t>(reply.result));
    std::array<std::uint8_t, kReplyBytes> bytes{};
    for (std::size_t i = 0; i < kReplyBytes; ++i) bytes[i] = out[i];
    return bytes;
}

DecodeStatus DecodeReply(const std::uint8_t* data, std::size_t size, Reply& reply, std::string& error) {
    if (size < kReplyBytes) return DecodeStatus::NeedMore;
    Reader reader(data, size);
    if (reader.U32() != kReplyMagic) {
        error = "The answer to a window message does not start with the answer mark.";
        return DecodeStatus::Invalid;
    }
    std::uint32_t status = reader.U32();
    if (status > static_cast<std::uint32_t>(ReplyStatus::Refused)) {
        error = "The answer to a window message has the unknown status " + std::to_string(status) + ".";
        return DecodeStatus::Invalid;
    }
    reply.status = static_cast<ReplyStatus>(status);
    reply.result = static_cast<std::int64_t>(reader.U64());
    return DecodeStatus::Complete;
}

bool MessageCarriesPointers(UINT message, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
        case WM_SETTEXT:
        case WM_GETTEXT:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED:
        case WM_COPYDATA:
        case WM_NOTIFY:
        case WM_HELP:
            return true;
        case WM_SETTINGCHANGE:
            return lParam != 0;  // the name of the changed setting
        default:
            return false;
    }
}

}  // namespace platform::user::wire
