// Hooks for tests and the fuzzer into the process's connection to registry.db.
#include "platform/registry/RegistryTesting.h"

#include "platform/registry/RegistryDatabase.h"

namespace platform::registry::testing {

void CloseRegistry() { RegistryDatabase::Instance().Disconnect(); }

}  // namespace platform::registry::testing
