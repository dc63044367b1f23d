// Cut-scene scripts: "cutscenes/<name>.cut", a CUTSCENE node of INVISIBLE and TALK lines that
// becomes the level's cut-scene entries (who speaks, the line, both characters' moods and the
// camera shot).
#pragma once

#include <cstdint>

class Level;
class TagFile;
struct CutsceneEntry;

// Mood codes: BRAM's 1 to 11, ODILE's 12 to 19.
constexpr std::int32_t kBramMoodListen = 11;
constexpr std::int32_t kOdileMoodFirst = 12;
constexpr std::int32_t kOdileMoodListen = 19;

// Camera shot codes.
enum CutsceneCamera : std::int32_t {
    kCamBramFar = 0,
    kCamBramNear = 1,
    kCamOdileFar = 2,
    kCamOdileNear = 3,
    kCamBothFar = 4,
    kCamBird = 5,
    kCamFrog = 6,
    kCamPortal = 7,
    kCamOverview = 8,
};

// BRAM's animation for a line: his speaker mood when he speaks (else 0, idle), his listener mood
// when he listens (else 16, listen); mood codes 1 to 10 give the animations of his moods.
std::int32_t BramAnimationForLine(const CutsceneEntry& entry);
// ODILE's mood (0 to 7) for a line: her speaker mood when she speaks (else 0, idle), her
// listener mood when she listens (else 7, listen); codes 12 to 18 give the moods 0 to 6.
std::int32_t OdileMoodForLine(const CutsceneEntry& entry);

// True when the whole script was read. A missing file, a top node other than CUTSCENE or a
// TALK line with fewer than four values gives false (the lines before it stay).
bool LoadCutscene(Level& level, const char* name);
// The same over a parsed file (the table is emptied first); `source` names it in the log.
bool ReadCutscene(Level& level, TagFile& root, const char* source);
