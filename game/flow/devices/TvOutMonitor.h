// TvOutMonitor: follows the TV-out connector through the peripheral-detection driver's
// values "TVOutIsEnabled" and "VideoMode" (HKEY_LOCAL_MACHINE "Drivers\BuiltIn\PeripheralDet"),
// whose changes the shell delivers into the queue "TVOutMsgQueue_QVN". The main loop drains
// the queue once a frame, so the frame cap (TvOutRate.h) follows the connector.
#pragma once

#include "platform/base/Types.h"

constexpr const WCHAR* kTvOutQueueName = u"TVOutMsgQueue_QVN";
constexpr DWORD kTvOutMessageBytes = 4112;
// The user values that tell the two watched values apart in the queue's messages.
constexpr DWORD kTvOutEnabledUserValue = 0;
constexpr DWORD kTvOutVideoModeUserValue = 1;

// True when the queue and both notifications exist and both values could be read; the flag,
// the mode and the rate word then follow the connector as it is now.
bool StartTvOutMonitor();
// Applies every message waiting in the queue, in order (the last value wins); nothing when
// the queue was not made.
void DrainTvOutQueue();
// True when the queue and both notifications closed without error.
bool StopTvOutMonitor();
// The video mode last read or told.
DWORD TvOutVideoMode();

// One message as the shell delivers it (32-bit little-endian words: the notification's
// handle, the user value, the data's size, the data). A message too short for its header and
// a 4-byte value, a size past the message's end or an unknown user value is ignored; false
// then.
bool ApplyTvOutMessage(const BYTE* message, DWORD bytes);
