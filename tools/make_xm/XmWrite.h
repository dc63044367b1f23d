// The extended module (.xm) file of a song: header and order list, unpacked patterns, and
// one instrument a sample: a looped 16-bit cycle of its shape.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/make_xm/XmSong.h"

std::vector<std::uint8_t> WriteXm(const XmSong& song);
