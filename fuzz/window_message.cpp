// Fuzzes the decoder of window messages that arrive from other processes: any input either
// fails cleanly or decodes to a request that encodes back to the same bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/user/MessageWire.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform::user::wire;
    Request request;
    std::size_t frameBytes = 0;
    std::string error;
    if (DecodeRequest(data, size, request, frameBytes, error) == DecodeStatus::Complete) {
        auto encoded = EncodeRequest(request);
        if (encoded.size() != frameBytes || !std::equal(encoded.begin(), encoded.end(), data)) std::abort();
    }
    Reply reply;
    DecodeReply(data, size, reply, error);
    return 0;
}
