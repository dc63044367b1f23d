// The display's refresh. The handset's display paced every present: a frame went out at the
// display's next refresh, so a loop that presents never ran faster than the display. The
// simulated display does the same, on the platform clock.
#pragma once

#include <string>
#include <string_view>

namespace platform::screen {

constexpr int kDefaultRefreshHz = 60;
constexpr int kMaxRefreshHz = 1000;

// Refreshes a second; 0 paces nothing (benchmarks). Out-of-range rates are ignored. Until
// it is set (the screen's start sets it), the rate is HANDSET_REFRESH's, else the default.
void SetRefreshRate(int hz);
int RefreshRate();

// "<hz>", a whole number from 0 to kMaxRefreshHz (HANDSET_REFRESH). False with a sentence
// naming what was wrong.
bool ParseRefreshRate(std::string_view text, int& hz, std::string& error);

// Waits until the display's next refresh: the first refresh time after now, the refreshes
// lying at whole multiples of the period since the clock's zero. On the manual clock the
// wait moves the clock there, as Sleep does. Returns at once at a rate of 0.
void WaitForRefresh();

}  // namespace platform::screen
