// Fine: nothing above the platform.
#pragma once
