// A tiny real library for the loader tests: exports by name and a DllMain that reports its
// calls back to the test.
#include <cstdlib>

namespace {
void* attachedModule = nullptr;
int* detachFlag = nullptr;
}  // namespace

extern "C" int DllMain(void* module, unsigned reason, void*) {
    if (reason == 1) {
        attachedModule = module;
        // Lets a test see a library that refuses to start.
        if (std::getenv("SAMPLE_LIBRARY_REFUSE") != nullptr) return 0;
    }
    if (reason == 0 && detachFlag != nullptr) *detachFlag = 1;
    return 1;
}

extern "C" void* SampleAttachedModule() { return attachedModule; }

extern "C" void SampleReportDetachTo(int* flag) { detachFlag = flag; }

extern "C" int SampleAdd(int a, int b) { return a + b; }
