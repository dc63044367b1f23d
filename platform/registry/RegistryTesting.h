// For tests and the fuzzer, which put a whole registry.db in place of the one this process
// has open, as a new process would find it.
#pragma once

namespace platform::registry::testing {

// Closes this process's connection to registry.db (folding its log in); the next call opens
// the file of the current handset root again. Keys stay open.
void CloseRegistry();

}  // namespace platform::registry::testing
