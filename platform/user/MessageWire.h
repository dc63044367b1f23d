// The byte format of window messages between processes. A request names the target window
// and carries a scalar message, or WM_COPYDATA with its payload copied; the answer carries
// the delivery status and the window procedure's result. All fields little-endian:
//
//   request: magic "HWMS" u32, version u16, kind u16, window u64, message u32, flags u32,
//            wParam u64, lParam u64; with flag 1 (copy data) then: dwData u64, cbData u32
//            and cbData bytes (at most kMaxCopyDataBytes)
//   answer:  magic "HWMR" u32, status u32, result u64
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/Types.h"

namespace platform::user::wire {

constexpr std::uint32_t kRequestMagic = 0x534D5748;  // "HWMS"
constexpr std::uint32_t kReplyMagic = 0x524D5748;    // "HWMR"
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kRequestHeaderBytes = 40;
constexpr std::size_t kCopyDataHeaderBytes = 12;
constexpr std::size_t kReplyBytes = 16;
constexpr std::uint32_t kMaxCopyDataBytes = 1u << 20;
constexpr std::uint32_t kFlagCopyData = 1;

enum class RequestKind : std::uint16_t { Post = 1, Send = 2, Activate = 3, Deactivate = 4 };
enum class ReplyStatus : std::uint32_t { Delivered = 0, NoWindow = 1, Refused = 2 };

struct Request {
    RequestKind kind = RequestKind::Post;
    std::uint64_t window = 0;
    std::uint32_t message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    bool hasCopyData = false;
    std::uint64_t copyDataTag = 0;  // COPYDATASTRUCT::dwData
    std::vector<std::uint8_t> copyData;
};

struct Reply {
    ReplyStatus status = ReplyStatus::Delivered;
    std::int64_t result = 0;
};

enum class DecodeStatus { Complete, NeedMore, Invalid };

std::vector<std::uint8_t> EncodeRequest(const Request& request);
// Complete: `request` holds the frame, which was `frameBytes` long. NeedMore: the frame is
// at least `frameBytes` long and only `size` bytes are there. Invalid: `error` says why.
DecodeStatus DecodeRequest(const std::uint8_t* data, std::size_t size, Request& request, std::size_t& frameBytes,
                           std::string& error);

std::array<std::uint8_t, kReplyBytes> EncodeReply(const Reply& reply);
DecodeStatus DecodeReply(const std::uint8_t* data, std::size_t size, Reply& reply, std::string& error);

// Messages below WM_USER whose parameters point into the sender's memory: they cannot be
// posted, and only WM_COPYDATA (whose payload is copied) can be sent to another process.
bool MessageCarriesPointers(UINT message, LPARAM lParam);

}  // namespace platform::user::wire
