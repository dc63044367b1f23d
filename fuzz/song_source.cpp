// Song descriptions (".song"): what reads is written as the .xm file make_xm writes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/make_xm/XmSong.h"
#include "tools/make_xm/XmWrite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XmSong song;
    std::string error;
    if (ParseXmSong(std::string(reinterpret_cast<const char*>(data), size), "fuzz.song", song, error)) WriteXm(song);
    return 0;
}
