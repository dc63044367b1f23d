// Reading cut-scene scripts into the level's cut-scene table.
#include "game/world/cutscene/Cutscene.h"

#include "engine/core/files/TagFile.h"
#include "engine/core/memory/EngineLog.h"
#include "engine/core/text/TextCompare.h"
#include "game/world/level/Level.h"

namespace {

struct Keyword {
    const char* word;
    std::int32_t code;
};

// BRAM's moods; LISTEN only as a listener.
const Keyword kBramMoods[] = {{"NEUTRAL", 1},
                              {"SCARED", 2},
                              {"CONFUSED", 3},
                              {"ANGRY", 4},
                              {"ANGRY2", 5},
                              {"HAPPY", 6},
                              {"RECEIVETWIZTURN", 7},
                              {"GETMESSAGE", 8},
                              {"READMESSAGE", 9},
                              {"THROWMESSAGE", 10},
                              {"LISTEN", kBramMoodListen}};
// ODILE's moods; LISTEN only as a listener.
const Keyword kOdileMoods[] = {{"NEUTRAL", 12}, {"ANGRY", 13}, {"HAPPY", 14},        {"THINKING", 15},
                               {"RELAX", 16},   {"DIZZY", 17}, {"GIVETWIZTURN", 18}, {"LISTEN", kOdileMoodListen}};
const Keyword kBramCameras[] = {{"CAM_BRAM_FAR_1", kCamBramFar}, {"CAM_BRAM_NEAR_1", kCamBramNear}};
const Keyword kOdileCameras[] = {{"CAM_ODILE_FAR_1", kCamOdileFar}, {"CAM_ODILE_NEAR_1", kCamOdileNear}};
const Keyword kSharedCameras[] = {{"CAM_BOTH_FAR", kCamBothFar},
                                  {"CAM_BIRD", kCamBird},
                                  {"CAM_FROG", kCamFrog},
                                  {"CAM_PORTAL", kCamPortal},
                                  {"CAM_OVERVIEW", kCamOverview}};

// Sets `code` when the word is in the table; `listener` admits the LISTEN entry.
template <std::size_t N>
bool Match(const Keyword (&table)[N], const EngineString& word, bool listener, std::int32_t& code) {
    for (const Keyword& entry : table) {
        const bool listenOnly = entry.code == kBramMoodListen || entry.code == kOdileMoodListen;
        if (listenOnly && !listener) continue;
        if (CompareNoCase(entry.word, word.Text()) == 0) {
            code = entry.code;
            return true;
        }
    }
    return false;
}

// What a TALK line carries over from the line before it.
struct TalkState {
    std::uint32_t speaker = 0;
    std::int32_t speakerMood = 0;
    std::int32_t camera = -1;
    std::int32_t listenerMood = 0;
};

void ReadInvisible(Level& level, const TagFileTag& tag) {
    EngineString name;
    if (tag.GetString(0, name) == 0) return;
    if (CompareNoCase(name.Text(), "BRAM") == 0) level.bramInvisible = 1;
    if (CompareNoCase(name.Text(), "ODILE") == 0) level.odileInvisible = 1;
}

// False when a value is missing.
bool ReadTalk(const TagFileTag& tag, TalkState& state, EngineString& text) {
    EngineString values[4];
    for (std::uint32_t i = 0; i < 4; ++i)
        if (tag.GetString(i, values[i]) == 0) return false;
    const EngineString& speaker = values[0];
    EngineString listener;
    const bool hasListener = tag.GetString(4, listener) != 0;
    std::int32_t camera = state.camera;
    if (CompareNoCase(speaker.Text(), "BRAM") == 0) {
        state.speaker = kSpeakerBram;
        Match(kBramMoods, values[1], false, state.speakerMood);
        if (hasListener) Match(kOdileMoods, listener, true, state.listenerMood);
        if (!Match(kBramCameras, values[3], false, camera)) Match(kSharedCameras, values[3], false, camera);
    } else if (CompareNoCase(speaker.Text(), "ODILE") == 0) {
        state.speaker = kSpeakerOdile;
        Match(kOdileMoods, values[1], false, state.speakerMood);
        if (hasListener) Match(kBramMoods, listener, true, state.listenerMood);
        if (!Match(kOdileCameras, values[3], false, camera)) Match(kSharedCameras, values[3], false, camera);
    } else {
        Match(kSharedCameras, values[3], false, camera);
    }
    state.camera = camera;
    text = static_cast<EngineString&&>(values[2]);
    return true;
}

// BRAM's animations for his mood codes 1 to 10.
constexpr std::int32_t kBramAnimations[] = {0, 14, 15, 11, 12, 13, 17, 18, 19, 20};
constexpr std::int32_t kBramIdleAnimation = 0;
constexpr std::int32_t kBramListenAnimation = 16;

}  // namespace

std::int32_t BramAnimationForLine(const CutsceneEntry& entry) {
    const bool speaks = entry.speaker == kSpeakerBram;
    const std::int32_t mood = speaks ? entry.speakerMood : entry.listenerMood;
    if (mood >= 1 && mood <= 10) return kBramAnimations[mood - 1];
    return speaks ? kBramIdleAnimation : kBramListenAnimation;
}

std::int32_t OdileMoodForLine(const CutsceneEntry& entry) {
    const bool speaks = entry.speaker == kSpeakerOdile;
    const std::int32_t mood = speaks ? entry.speakerMood : entry.listenerMood;
    if (mood >= kOdileMoodFirst && mood <= kOdileMoodFirst + 6) return mood - kOdileMoodFirst;
    return speaks ? 0 : 7;
}

bool ReadCutscene(Level& level, TagFile& root, const char* source) {
    level.ClearCutscene();
    if (CompareNoCase(root.name.Text(), "CUTSCENE") != 0) {
        LogException("%s: the script's top node is not CUTSCENE.", KEL_SOURCE_FILE, __LINE__, source);
        return false;
    }
    level.cutsceneView.vector = {0, 0, 0};
    level.cutsceneView.factor = 1.0f;
    ListReset(level.cutsceneView.list);
    level.bramInvisible = level.odileInvisible = 0;
    TalkState state;
    int line = 0;
    for (KDLListIterator it(root.tags); !it.AtEnd(); it.Next()) {
        const auto& tag = *static_cast<const TagFileTag*>(it.Item());
        ++line;
        if (CompareNoCase(tag.name.Text(), "INVISIBLE") == 0) {
            ReadInvisible(level, tag);
            continue;
        }
        if (CompareNoCase(tag.name.Text(), "TALK") != 0) continue;
        EngineString text;
        if (!ReadTalk(tag, state, text)) {
            LogException("%s: TALK line (tag %d) needs a speaker, a mood, a text and a camera.", KEL_SOURCE_FILE,
                         __LINE__, source, line);
            return false;
        }
        if (!level.AddCutsceneEntry(state.speaker, text, state.speakerMood, state.camera, state.listenerMood)) {
            // The table is full: the lines kept are played, the rest is left out.
            LogException("%s: more than %d TALK lines; the TALK line of tag %d and those after it are left out.",
                         KEL_SOURCE_FILE, __LINE__, source, kCutsceneCapacity, line);
            return true;
        }
    }
    return true;
}

bool LoadCutscene(Level& level, const char* name) {
    if (name == nullptr) return false;
    level.ClearCutscene();
    const EngineString path = EngineString::Format("cutscenes/%s.cut", name);
    TagFile root;
    if (root.Load(path.Text(), 0) != 0) {
        LogException("%s: the cut-scene script cannot be read.", KEL_SOURCE_FILE, __LINE__, path.Text());
        return false;
    }
    return ReadCutscene(level, root, path.Text());
}
