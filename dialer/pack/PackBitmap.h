// Turning a BMP file from a skin pack into a surface: small images become DIB sections,
// large ones (32768 bytes of pixels or more) live in mapped page-file memory.
#pragma once

#include "dialer/foundation/SharedBuffer.h"
#include "dialer/surface/DibSurface.h"
#include "platform/base/Types.h"

// Images of at least this many bytes of pixels are kept in mapped memory.
constexpr ULONGLONG kMappedBitmapBytes = 32768;

// The surface for the BMP bytes; empty for anything that is not a bottom-up bitmap of 1,
// 4, 8, 16 or 24 bits (BI_RGB, or BI_BITFIELDS for 16 bits) whose header, colour table and
// pixel rows all lie inside the bytes. Throws only when mapped memory cannot be made.
CSharedSurface LoadPackBitmap(const CSharedBuffer& file);
