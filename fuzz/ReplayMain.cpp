// Runs a fuzz harness over saved inputs without libFuzzer: each argument is a file or a
// folder of files, fed once each to LLVMFuzzerTestOneInput.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int ReplayFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int failures = 0;
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::filesystem::path path(argv[i]);
        if (std::filesystem::is_directory(path)) {
            for (const auto& entry : std::filesystem::directory_iterator(path)) {
                if (!entry.is_regular_file()) continue;
                failures += ReplayFile(entry.path());
                ++inputs;
            }
        } else {
            failures += ReplayFile(path);
            ++inputs;
        }
    }
    std::printf("replayed %d inputs\n", inputs);
    // A harness without saved inputs checks nothing: that is a failure, not a pass.
    if (inputs == 0) std::fprintf(stderr, "replay: no saved inputs\n");
    return failures == 0 && inputs > 0 ? 0 : 1;
}
