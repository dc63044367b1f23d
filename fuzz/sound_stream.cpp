// The sound library's wave streams over any bytes: the image reader, then four thousand
// frames of it mixed, looping, at its own rate (IMA ADPCM blocks decoded on the way).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sound/Mixer.h"
#include "platform/sound/WaveImage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> image(data, data + size);
    platform::sound::WaveImage wave;
    if (!platform::sound::ReadWaveImage(image.data(), image.size(), wave)) return 0;
    platform::sound::Mixer mixer(22050, 1);
    mixer.Start(0, &wave.source, static_cast<std::int32_t>(wave.rate), 255, true, false);
    std::vector<std::int32_t> sum(2 * 4096);
    mixer.MixChannels(sum.data(), 4096);
    return 0;
}
