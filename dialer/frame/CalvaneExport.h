// Marks the functions that the phone application finds in libcalvane.so by name.
#pragma once

#define CALVANE_EXPORT extern "C" __attribute__((visibility("default")))
