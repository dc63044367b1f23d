// Writing the mixed output as a wave file.
#include "platform/sound/WaveFileWriter.h"

#include <cerrno>
#include <cstring>
#include <limits>

namespace platform::sound {

namespace {

constexpr std::uint32_t kHeaderBytes = 44;
// The sizes are 32-bit: the data stops growing before they would overflow.
constexpr std::uint64_t kMaxDataBytes = std::numeric_limits<std::uint32_t>::max() - kHeaderBytes;

void Put16(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

}  // namespace

bool WaveFileWriter::OpenOrContinue(const std::string& path, std::uint32_t rate, std::string& error) {
    if (file_ != nullptr && path == path_ && rate == rate_) return true;
    Close();
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error = "HANDSET_AUDIO=wav:" + path + ": the file cannot be written (" + std::strerror(errno) + ").";
        return false;
    }
    path_ = path;
    rate_ = rate;
    dataBytes_ = 0;
    reportedFailure_ = false;
    std::uint8_t header[kHeaderBytes] = {};
    std::memcpy(header, "RIFF", 4);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 16);
    Put16(header + 20, 1);  // PCM
    Put16(header + 22, 2);  // stereo
    Put32(header + 24, rate);
    Put32(header + 28, rate * 4);
    Put16(header + 32, 4);
    Put16(header + 34, 16);
    std::memcpy(header + 36, "data", 4);
    if (std::fwrite(header, 1, kHeaderBytes, file_) != kHeaderBytes) {
        error = "HANDSET_AUDIO=wav:" + path + ": the file cannot be written.";
        Close();
        return false;
    }
    WriteSizes();
    return true;
}

void WaveFileWriter::Append(const std::int16_t* frames, std::uint32_t count) {
    if (file_ == nullptr) return;
    const std::uint64_t bytes = static_cast<std::uint64_t>(count) * 4;
    if (dataBytes_ + bytes > kMaxDataBytes) return;
    // Little-endian on disk, whatever the host.
    std::uint8_t buffer[4096];
    std::uint64_t written = 0;
    for (std::uint32_t at = 0; at < count * 2;) {
        std::size_t fill = 0;
        while (fill + 2 <= sizeof buffer && at < count * 2) {
            Put16(buffer + fill, static_cast<std::uint16_t>(frames[at++]));
            fill += 2;
        }
        written += std::fwrite(buffer, 1, fill, file_);
    }
    dataBytes_ += written;
    if (written != bytes && !reportedFailure_) {
        reportedFailure_ = true;
        std::fprintf(stderr, "HANDSET_AUDIO=wav:%s: writing the sound failed; the file ends early.\n", path_.c_str());
    }
    WriteSizes();
}

void WaveFileWriter::WriteSizes() {
    std::uint8_t size[4];
    Put32(size, static_cast<std::uint32_t>(dataBytes_ + kHeaderBytes - 8));
    std::fseek(file_, 4, SEEK_SET);
    std::fwrite(size, 1, 4, file_);
    Put32(size, static_cast<std::uint32_t>(dataBytes_));
    std::fseek(file_, 40, SEEK_SET);
    std::fwrite(size, 1, 4, file_);
    std::fseek(file_, 0, SEEK_END);
    std::fflush(file_);
}

void WaveFileWriter::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    path_.clear();
}

}  // namespace platform::sound
