// Code-page conversions into caller buffers, cut to the buffer at a whole character.
#include "engine/core/text/TextConversion.h"

#include <climits>
#include <cstring>

#include "engine/core/memory/EngineMemory.h"
#include "platform/base/CodePage.h"
#include "platform/base/WideString.h"

namespace {

bool IsHighSurrogate(WCHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

int ClampToInt(std::size_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

void ToWide(UINT codePage, WCHAR* destination, const char* text, int capacity) {
    if (destination == nullptr || text == nullptr) return;
    if (capacity == kCapacityOfSource) capacity = ClampToInt(std::strlen(text) + 1);
    if (capacity < 1) return;
    const int needed = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (needed <= 0) {
        destination[0] = 0;
    } else if (needed <= capacity) {
        if (MultiByteToWideChar(codePage, 0, text, -1, destination, capacity) <= 0) destination[0] = 0;
    } else {
        // Convert all of it aside, then keep what fits without splitting a surrogate pair.
        auto* whole = static_cast<WCHAR*>(EngineAlloc(static_cast<std::size_t>(needed) * sizeof(WCHAR)));
        if (whole == nullptr || MultiByteToWideChar(codePage, 0, text, -1, whole, needed) <= 0) {
            destination[0] = 0;
        } else {
            int kept = capacity - 1;
            if (kept > 0 && IsHighSurrogate(whole[kept - 1])) --kept;
            std::memcpy(destination, whole, static_cast<std::size_t>(kept) * sizeof(WCHAR));
            destination[kept] = 0;
        }
        EngineFree(whole);
    }
    destination[capacity - 1] = 0;
}

}  // namespace

void Utf8ToWide(WCHAR* destination, const char* text, int capacity) { ToWide(CP_UTF8, destination, text, capacity); }

void AnsiToWide(WCHAR* destination, const char* text, int capacity) { ToWide(CP_ACP, destination, text, capacity); }

int WideToUtf8(char* destination, const WCHAR* text, int capacity) {
    if (destination == nullptr || text == nullptr) return 0;
    if (capacity == kCapacityOfSource) capacity = ClampToInt(wcslen(text) + 1);
    if (capacity < 1) return 0;
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        destination[0] = '\0';
        return 0;
    }
    if (needed <= capacity) {
        const int written = WideCharToMultiByte(CP_UTF8, 0, text, -1, destination, capacity, nullptr, nullptr);
        if (written <= 0) destination[0] = '\0';
        destination[capacity - 1] = '\0';
        return written > 0 ? written : 0;
    }
    auto* whole = static_cast<char*>(EngineAlloc(static_cast<std::size_t>(needed)));
    if (whole == nullptr || WideCharToMultiByte(CP_UTF8, 0, text, -1, whole, needed, nullptr, nullptr) <= 0) {
        destination[0] = '\0';
    } else {
        // Back off to the start of a character that would be cut.
        int kept = capacity - 1;
        while (kept > 0 && (static_cast<unsigned char>(whole[kept]) & 0xC0) == 0x80) --kept;
        std::memcpy(destination, whole, static_cast<std::size_t>(kept));
        destination[kept] = '\0';
    }
    EngineFree(whole);
    return 0;
}
