// Script playback: keys through the window system's key entry, touches and closing through
// the screen's touch input, tilt into the tilt state, screenshots into PNG files.
#include "platform/screen/ScriptPlayer.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/screen/PngFile.h"
#include "platform/screen/Tilt.h"
#include "platform/screen/TouchInput.h"
#include "platform/user/HotKey.h"

namespace platform::screen {

namespace {

std::atomic<HandsetEventHandler> handsetHandler{nullptr};

}  // namespace

ScriptPlayer::ScriptPlayer(std::string name, std::vector<ScriptEvent> events, DWORD startTick)
    : name_(std::move(name)), events_(std::move(events)), startTick_(startTick) {
    for (ScriptEvent& event : events_) {
        if (event.action != ScriptAction::Screenshot) continue;
        std::error_code failure;
        std::filesystem::path absolute = std::filesystem::absolute(event.file, failure);
        if (!failure) event.file = absolute.string();
    }
}

bool ScriptPlayer::Load(const std::string& path, DWORD startTick, ScriptPlayer& player, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "The script " + path + " cannot be opened.";
        return false;
    }
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxScriptBytes) break;  // the parser refuses it with a message
    }
    if (in.bad()) {
        error = "The script " + path + " cannot be read.";
        return false;
    }
    std::vector<ScriptEvent> events;
    if (!ParseHandsetScript(text, path, events, error)) return false;
    player = ScriptPlayer(path, std::move(events), startTick);
    return true;
}

void ScriptPlayer::PlayDue(DWORD nowTick) {
    // Unsigned difference: right across a wrap of the tick count.
    DWORD elapsed = nowTick - startTick_;
    while (next_ < events_.size() && events_[next_].atMs <= elapsed) {
        // Advance first: an event may pump messages (a capture source) and come back here.
        const ScriptEvent& event = events_[next_++];
        Play(event);
    }
}

void ScriptPlayer::Play(const ScriptEvent& event) {
    switch (event.action) {
        case ScriptAction::KeyDown: platform::InjectKey(event.virtualKey, true); break;
        case ScriptAction::KeyUp: platform::InjectKey(event.virtualKey, false); break;
        case ScriptAction::KeyPress:
            platform::InjectKey(event.virtualKey, true);
            platform::InjectKey(event.virtualKey, false);
            break;
        case ScriptAction::Tap:
            TouchDown(event.x, event.y);
            TouchUp(event.x, event.y);
            break;
        case ScriptAction::TouchDown: TouchDown(event.x, event.y); break;
        case ScriptAction::TouchMove: TouchMove(event.x, event.y); break;
        case ScriptAction::TouchUp: TouchUp(event.x, event.y); break;
        case ScriptAction::Tilt: SetTilt(event.tilt[0], event.tilt[1], event.tilt[2]); break;
        case ScriptAction::Screenshot: {
            std::string error;
            if (!WritePng(Capture(), event.file, error))
                std::fprintf(stderr, "%s:%d: %s\n", name_.c_str(), event.line, error.c_str());
            break;
        }
        case ScriptAction::Close: CloseTopWindow(); break;
        case ScriptAction::TvOut:
        case ScriptAction::Power:
        case ScriptAction::State:
            if (HandsetEventHandler handler = handsetHandler.load())
                handler(event);
            else
                std::fprintf(stderr, "%s:%d: this program has no handset drivers to play the line\n", name_.c_str(),
                             event.line);
            break;
    }
}

void SetHandsetEventHandler(HandsetEventHandler handler) { handsetHandler.store(handler); }

}  // namespace platform::screen
