// Loading animations by name: the ".kan" file names the module and class that make the
// object, which then reads its own body; the ".weights" and ".trg" side files follow. Also
// the resource cache's hooks for animations.
#pragma once

#include <cstdint>

class Animation;
class FileStream;

// The ".kan" header: magic, module name and class name, zero-padded.
constexpr std::uint32_t kKanHeaderSize = 36;
constexpr std::uint32_t kKanNameSize = 16;

// "animations\<name>.kan" (else ".kanim") read by ReadAnimationFile, then the weights of
// "animations\<name>.weights" and the events of "animations\<name>.trg" when those exist. A
// new animation (reference count 0, one owner), or null.
Animation* LoadAnimation(const char* name);

// The ".kan" content at the stream's position: null, without a log line, for a short header
// or another format's magic; null, logged, when the module cannot make the class as an
// Animation; null when its body does not read. The animation is named `name`.
Animation* ReadAnimationFile(FileStream& stream, const char* name);

// Writes the header (the module name cut to 16 bytes; the class is the animation's type
// name) and the body. 0 on success.
int WriteAnimationFile(FileStream& stream, Animation& animation, const char* moduleName);

// Sets the resource cache's animation loader and the name of cached animations; look-ups of
// other kinds go on to the name hook set before. A cached animation lives until the cache is
// cleared: every reference ResourceCache::GetAnimation hands out is the caller's to release.
void InstallAnimationResources();
