// The three device tests of the layout rules, which the rest of the framework uses too:
// the platform (a touch-screen Pocket PC or a Smartphone), the screen size, and the
// presence of a phone radio, asked of the OS services library "ossvcs.dll".
#pragma once

#include "platform/base/Types.h"

// The platform type is "PocketPC" exactly. The answer is kept after the first query that
// succeeds; a failed query gives false and is asked again next time.
bool IsPocketPC();

// The screen is width × height pixels, or, on a Pocket PC, that many 96-dpi units.
bool IsScreenOfSize(LONG width, LONG height);

// The handset lists a phone radio among its wireless devices. False when the library or
// one of its entries is missing, or the list cannot be had.
bool IsPhonePresent();
