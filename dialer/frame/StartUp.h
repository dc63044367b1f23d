// The dialer library's start-up and unload, as far as the layout framework relies on them:
// the screen's density, the resource library with the localised texts, and the process-wide
// services through which every dialog finds its layouts, packs and objects. The library's
// phone-extension entry runs them on the phone application's thread.
#pragma once

// Caches the screen's density, loads "CalvaneRes.dll" of the install folder as a data file
// and makes it the string table's module and the library's resource module, then installs
// the services in the order pack repository, object factory, layout repository. False, with
// nothing changed but the density, when the resource library cannot be loaded.
bool StartUp();

// Releases the services in the reverse order and frees the resource library. Nothing when
// StartUp has not succeeded.
void ShutDown();
