// The quickest-first search over the character's resting states.
#include "tools/qvn_solve/LevelSearch.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <queue>
#include <unordered_map>

#include "engine/core/containers/KDLList.h"
#include "engine/core/math/Random.h"
#include "game/world/level/Level.h"
#include "game/world/objects/BlockerDoorObject.h"
#include "game/world/objects/BridgeObject.h"
#include "game/world/objects/LevelObject.h"
#include "game/world/objects/TeskObject.h"
#include "game/world/player/PlayerCharacter.h"
#include "tools/qvn_play/LevelRun.h"

namespace qvn_solve {
namespace {

// One command from a resting state. A run holds its key until the character has gone one tile
// (or left the ground, or stopped against a wall); a jump or a turn holds its keys until the
// world has taken them (a jump waits out the lock after a landing, a turn the lock between two
// turns); a wait lets time pass for what moves on its own.
enum class Kind { kRun, kJump, kTurn, kWait };

struct Action {
    Kind kind;
    std::uint32_t bits;
};

const Action kActions[] = {
    {Kind::kRun, kInputJumpLeft},
    {Kind::kRun, kInputJumpRight},
    {Kind::kJump, kInputJumpUp},
    {Kind::kJump, kInputJumpUp | kInputJumpLeft},
    {Kind::kJump, kInputJumpUp | kInputJumpRight},
    {Kind::kTurn, kInputTurnLeft},
    {Kind::kTurn, kInputTurnRight},
    {Kind::kWait, 0},
};

// A run ends once the character has gone this far across its facing: one tile, give or take
// the last frame's step.
constexpr float kRunDistance = 9.5f;
// A run that has not gone this far in its first frames is against a wall.
constexpr float kStuckDistance = 0.3f;
constexpr long kStuckFrames = 4;
constexpr long kLongestRun = 60;
// Long enough for the turn lock (1.9 s) and for a hard landing to end.
constexpr long kLongestPress = 75;
constexpr long kWaitFrames = 15;
// A character still moving after this long is taken as it is (it stands on something that
// moves): its state says where.
constexpr long kLongestSettle = 400;
// The exit's animation and the level's completion after the character has entered the portal.
constexpr long kLongestExit = 400;
// Positions inside a tile count as one state within this many units.
constexpr float kPlaceGrain = 2.0f;

enum class Ending { kRests, kDied, kCompleted, kNoEffect, kTooLong };

struct Trial {
    Ending ending = Ending::kNoEffect;
    qvn_play::ScriptLine press;
    long endFrame = 0;     // the first frame after the trial
    long deepFrame = -1;   // the character entered the portal
    std::uint32_t moves = 0;
    std::string key;
};

struct Node {
    long parent = -1;
    qvn_play::ScriptLine press;  // bits 0 for the start
    long frame = 0;              // the first frame after this node's command came to rest
    bool goal = false;
    long deepFrame = -1;
    std::uint32_t moves = 0;
    std::string key;
};

void AppendNumber(std::string& key, long value) {
    key += std::to_string(value);
    key += ',';
}

long Grain(float value) { return std::lround(value / kPlaceGrain); }

// Where the character rests and what every object is doing: two states with the same key play
// on the same.
std::string StateKey(const qvn_play::LevelRun& run) {
    const PlayerCharacter& character = run.character();
    Level& level = run.level();
    std::string key;
    AppendNumber(key, Grain(character.position.x));
    AppendNumber(key, Grain(character.position.y));
    AppendNumber(key, character.facing);
    AppendNumber(key, character.onDamper != 0 ? character.damperId : -1);
    AppendNumber(key, level.keysCollected);
    key += '|';
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next()) {
        const auto* object = static_cast<const LevelObject*>(it.Item());
        AppendNumber(key, object->kind);
        AppendNumber(key, static_cast<long>(object->flags));
        AppendNumber(key, Grain(object->position.x));
        AppendNumber(key, Grain(object->position.y));
        AppendNumber(key, std::lround(object->scale * 4.0f));
        if (const DoorState* door = object->Door()) {
            AppendNumber(key, door->closed);
            AppendNumber(key, door->moving);
            AppendNumber(key, door->closing);
        }
        if (const BridgeState* bridge = object->Bridge()) {
            AppendNumber(key, bridge->swung);
            AppendNumber(key, bridge->swingingOver);
            AppendNumber(key, bridge->swingingBack);
        }
        if (const TeskObject* tesk = object->Tesk()) {
            AppendNumber(key, tesk->alive);
            AppendNumber(key, tesk->current);
        }
        key += ';';
    }
    return key;
}

// Whether the level has objects that move without the character: dampers, blocker doors,
// bridges, spike cubes, TESK and ODILE. Without them waiting changes nothing, and the search
// leaves it out.
bool SomethingMovesAlone(Level& level) {
    for (KDLListIterator it(level.activeObjects); !it.AtEnd(); it.Next()) {
        const auto* object = static_cast<const LevelObject*>(it.Item());
        if (object->kind >= kObjectSpikeCube && object->kind != kObjectSpawnEffect) return true;
    }
    return false;
}

float Across(const PlayerCharacter& character) {
    return (character.facing == 0 || character.facing == 2) ? character.position.x : character.position.y;
}

bool AtRest(const PlayerCharacter& character) {
    return !character.IsMoving() && !character.IsInTransfer() && character.targetFacing == kNoTurn &&
           character.ledgeCatchPending == 0 && character.pendingLeap == 0 && character.lateralSpeed == 0.0f &&
           character.grounded != 0;
}

class Searcher {
public:
    Searcher(const std::string& level, const SearchBounds& bounds, bool restarting)
        : level_(level), bounds_(bounds), restarting_(restarting) {}
    // Plays the script on a freshly loaded level, as qvn_play does, for at most `limit` frames;
    // true when it completes the level, with its figures in `played`.
    bool Play(const std::vector<qvn_play::ScriptLine>& script, long limit, SearchResult& played) {
        shared_.reset();
        fresh_.reset();
        qvn_play::LevelRun run;
        std::string error;
        if (!Start(run, error)) return false;
        long deep = -1;
        for (long frame = 0; frame < limit; ++frame) {
            run.Step(qvn_play::BitsAtFrame(script, frame));
            if (deep < 0 && run.character().IsInDeep()) deep = frame;
            if (run.Completed()) {
                played.frames = frame + 1;
                played.clockFrames = deep - (script.empty() ? 0 : script.front().first);
                played.moves = run.character().moves;
                return true;
            }
        }
        return false;
    }

    // Whether the script, played on a freshly loaded level, completes it on the frame found.
    bool Replays(const SearchResult& result) {
        SearchResult played;
        return Play(result.script, result.frames, played) && played.frames == result.frames;
    }

    // A run over several tiles comes out as one command a tile with a still frame or two
    // between; held through, it gets the character there sooner. Each such join, with the
    // commands after it brought forward by the gap, is kept when the level still completes
    // sooner with it.
    void JoinRuns(SearchResult& result) {
        constexpr long kLongestGap = 3;
        for (std::size_t i = 0; i + 1 < result.script.size();) {
            const qvn_play::ScriptLine& first = result.script[i];
            const qvn_play::ScriptLine& second = result.script[i + 1];
            const long gap = second.first - first.last - 1;
            const bool run = first.bits == kInputJumpLeft || first.bits == kInputJumpRight;
            if (!run || second.bits != first.bits || gap < 1 || gap > kLongestGap) {
                ++i;
                continue;
            }
            std::vector<qvn_play::ScriptLine> joined = result.script;
            joined[i].last = second.last - gap;
            joined.erase(joined.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            for (std::size_t k = i + 1; k < joined.size(); ++k) {
                joined[k].first -= gap;
                joined[k].last -= gap;
            }
            SearchResult played;
            if (Play(joined, result.frames, played) && played.frames < result.frames) {
                result.script = joined;
                result.frames = played.frames;
                result.clockFrames = played.clockFrames;
                result.moves = played.moves;
            } else {
                ++i;
            }
        }
    }

    SearchResult Run() {
        SearchResult result;
        seed_ = RandomSeed();
        std::string error;
        {
            qvn_play::LevelRun run;
            if (!Start(run, error)) {
                result.error = error;
                return result;
            }
            nodes_.push_back(Node{});
            seen_[StateKey(run)] = 0;
            waiting_ = SomethingMovesAlone(run.level());
        }
        queue_.push({0, 0});
        bool bounded = false;
        while (!queue_.empty()) {
            const long index = queue_.top().second;
            queue_.pop();
            const Node node = nodes_[static_cast<std::size_t>(index)];
            if (node.goal) return Solved(index, result);
            // A state reached again, quicker, is expanded from its quicker node.
            if (!node.key.empty() && seen_[node.key] < node.frame) continue;
            if (result.statesExpanded >= bounds_.maxStates) {
                result.outcome = SearchOutcome::kBoundReached;
                result.error = "the search expanded " + std::to_string(bounds_.maxStates) +
                               " states (--max-states) without reaching the exit.";
                result.statesSeen = static_cast<long>(seen_.size());
                return result;
            }
            ++result.statesExpanded;
            const std::vector<qvn_play::ScriptLine> prefix = ScriptOf(index);
            for (const Action& action : kActions) {
                if (action.kind == Kind::kWait && !waiting_) continue;
                Trial trial;
                if (!Try(prefix, node.frame, action, trial, error)) {
                    result.error = error;
                    return result;
                }
                if (trial.ending == Ending::kTooLong) bounded = true;
                if (trial.ending == Ending::kCompleted) {
                    Node goal{index, trial.press, trial.endFrame, true, trial.deepFrame, trial.moves, {}};
                    nodes_.push_back(goal);
                    queue_.push({goal.frame, static_cast<long>(nodes_.size()) - 1});
                    continue;
                }
                if (trial.ending != Ending::kRests) continue;
                const auto found = seen_.find(trial.key);
                if (found != seen_.end() && found->second <= trial.endFrame) continue;
                seen_[trial.key] = trial.endFrame;
                nodes_.push_back(
                    Node{index, trial.press, trial.endFrame, false, -1, trial.moves, trial.key});
                queue_.push({trial.endFrame, static_cast<long>(nodes_.size()) - 1});
            }
        }
        result.statesSeen = static_cast<long>(seen_.size());
        if (bounded) {
            result.outcome = SearchOutcome::kBoundReached;
            result.error = "no way to the exit within " + std::to_string(bounds_.maxFrames) +
                           " frames (--max-frames); some ways were cut there.";
        } else {
            result.outcome = SearchOutcome::kNoWay;
            result.error = "every state the character can reach was tried: no way leads to the exit.";
        }
        return result;
    }

private:
    using Entry = std::pair<long, long>;  // frame, node

    // A fresh level from the same random seed as the first, so that every replay is the same
    // world qvn_play loads.
    bool Start(qvn_play::LevelRun& run, std::string& error) {
        SetRandomSeed(seed_);
        return run.Load(level_, error);
    }

    // The level at its start for a trial: restarted in place when that is allowed (loading
    // costs more than most trials play), else loaded afresh.
    qvn_play::LevelRun* Begin(std::string& error) {
        if (restarting_ && shared_ != nullptr) {
            shared_->Restart();
            return shared_.get();
        }
        fresh_ = std::make_unique<qvn_play::LevelRun>();
        if (!Start(*fresh_, error)) return nullptr;
        if (!restarting_) return fresh_.get();
        shared_ = std::move(fresh_);
        return shared_.get();
    }

    std::vector<qvn_play::ScriptLine> ScriptOf(long index) const {
        std::vector<qvn_play::ScriptLine> script;
        for (long at = index; at > 0; at = nodes_[static_cast<std::size_t>(at)].parent)
            script.insert(script.begin(), nodes_[static_cast<std::size_t>(at)].press);
        return script;
    }

    // Plays the prefix from the start, then the action and what follows it until the
    // character rests, dies, completes the level or runs out of frames.
    bool Try(const std::vector<qvn_play::ScriptLine>& prefix, long startFrame, const Action& action, Trial& trial,
             std::string& error) {
        qvn_play::LevelRun* begun = Begin(error);
        if (begun == nullptr) return false;
        qvn_play::LevelRun& run = *begun;
        long frame = 0;
        for (; frame < startFrame; ++frame) run.Step(qvn_play::BitsAtFrame(prefix, frame));
        played_ += startFrame;
        trial.press = qvn_play::ScriptLine{frame, frame - 1, action.bits, false};
        if (!Press(run, action, frame, trial)) return true;
        return Settle(run, frame, trial), true;
    }

    // Whether the character died, completed or went too long; sets the ending when it did.
    bool Ended(const qvn_play::LevelRun& run, long frame, Trial& trial) {
        const PlayerCharacter& character = run.character();
        if (character.IsDead() || run.RequestedState() == kPlayStateReset) {
            trial.ending = Ending::kDied;
            return true;
        }
        if (character.IsInDeep()) {
            if (trial.deepFrame < 0) trial.deepFrame = frame;
            if (run.Completed()) {
                trial.ending = Ending::kCompleted;
                trial.endFrame = frame + 1;
                trial.moves = character.moves;
                return true;
            }
            return false;
        }
        if (frame >= bounds_.maxFrames) {
            trial.ending = Ending::kTooLong;
            return true;
        }
        return false;
    }

    // The keys held; false when the trial ended there or the command did nothing.
    bool Press(qvn_play::LevelRun& run, const Action& action, long& frame, Trial& trial) {
        PlayerCharacter& character = run.character();
        const float from = Across(character);
        const std::int32_t facing = character.facing;
        const long limit = action.kind == Kind::kRun    ? kLongestRun
                           : action.kind == Kind::kWait ? kWaitFrames
                                                        : kLongestPress;
        for (long held = 0; held < limit; ++held) {
            run.Step(action.bits);
            ++played_;
            trial.press.last = frame;
            ++frame;
            if (Ended(run, frame - 1, trial)) return false;
            if (character.IsInDeep()) return true;
            switch (action.kind) {
            case Kind::kRun: {
                const float gone = std::fabs(Across(character) - from);
                if (character.facing != facing || character.IsMoving() || gone >= kRunDistance) return true;
                if (held + 1 >= kStuckFrames && gone < kStuckDistance) return false;
                break;
            }
            case Kind::kJump:
                if (character.IsMoving() || character.IsInTransfer()) return true;
                break;
            case Kind::kTurn:
                if (character.targetFacing != kNoTurn || character.facing != facing) return true;
                break;
            case Kind::kWait:
                break;
            }
        }
        if (action.kind == Kind::kWait) {
            // Waiting is no key at all: the script gets no line for it.
            trial.press.bits = 0;
            return true;
        }
        return action.kind == Kind::kRun && std::fabs(Across(character) - from) >= kStuckDistance;
    }

    void Settle(qvn_play::LevelRun& run, long frame, Trial& trial) {
        PlayerCharacter& character = run.character();
        Vector3 last = character.position;
        long settling = 0;
        for (;; ++frame, ++settling) {
            if (character.IsInDeep() ? settling > kLongestExit : settling > kLongestSettle) break;
            run.Step(0);
            ++played_;
            if (Ended(run, frame, trial)) return;
            if (character.IsInDeep()) continue;
            const bool same = std::fabs(character.position.x - last.x) < 0.001f &&
                              std::fabs(character.position.y - last.y) < 0.001f;
            last = character.position;
            if (AtRest(character) && same) {
                ++frame;
                break;
            }
        }
        if (character.IsInDeep()) {
            trial.ending = Ending::kTooLong;
            return;
        }
        trial.ending = Ending::kRests;
        trial.endFrame = frame;
        trial.key = StateKey(run);
    }

    SearchResult& Solved(long index, SearchResult& result) {
        const Node& goal = nodes_[static_cast<std::size_t>(index)];
        result.outcome = SearchOutcome::kSolved;
        for (const qvn_play::ScriptLine& line : ScriptOf(index))
            if (line.bits != 0) result.script.push_back(line);
        result.frames = goal.frame;
        const long first = result.script.empty() ? 0 : result.script.front().first;
        result.clockFrames = goal.deepFrame - first;
        result.moves = goal.moves;
        result.statesSeen = static_cast<long>(seen_.size());
        result.framesPlayed = played_;
        return result;
    }

    std::string level_;
    SearchBounds bounds_;
    std::uint32_t seed_ = 0;
    long played_ = 0;
    bool waiting_ = true;
    bool restarting_ = true;
    std::unique_ptr<qvn_play::LevelRun> shared_;
    std::unique_ptr<qvn_play::LevelRun> fresh_;
    std::vector<Node> nodes_;
    std::unordered_map<std::string, long> seen_;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue_;
};

const char* CommandWord(std::uint32_t bit) {
    switch (bit) {
    case kInputJumpLeft: return "jump-left";
    case kInputJumpRight: return "jump-right";
    case kInputJumpUp: return "jump-up";
    case kInputTurnLeft: return "turn-left";
    case kInputTurnRight: return "turn-right";
    default: return nullptr;
    }
}

}  // namespace

SearchResult SearchLevel(const std::string& level, const SearchBounds& bounds) {
    const std::uint32_t seed = RandomSeed();
    {
        Searcher quick(level, bounds, true);
        SearchResult result = quick.Run();
        if (result.outcome != SearchOutcome::kSolved) return result;
        if (quick.Replays(result)) {
            quick.JoinRuns(result);
            return result;
        }
    }
    // Something of the level did not go back to its start on a restart: search again, loading
    // the level for every trial.
    SetRandomSeed(seed);
    Searcher thorough(level, bounds, false);
    SearchResult result = thorough.Run();
    if (result.outcome == SearchOutcome::kSolved) thorough.JoinRuns(result);
    return result;
}

std::string FormatSolution(const std::string& level, const SearchResult& result) {
    char figures[200];
    std::snprintf(figures, sizeof figures,
                  "# solved frames=%ld clock=%ld time=%.2f moves=%u commands=%zu states=%ld played=%ld\n",
                  result.frames, result.clockFrames, static_cast<double>(result.clockFrames) * qvn_play::kStep,
                  result.moves, result.script.size(), result.statesExpanded, result.framesPlayed);
    std::string text = "# The quickest way through " + level + " that qvn_solve found.\n";
    text += figures;
    for (const qvn_play::ScriptLine& line : result.script) {
        std::string words;
        for (std::uint32_t bit = 1; bit != 0 && bit <= line.bits; bit <<= 1) {
            const char* word = (line.bits & bit) != 0 ? CommandWord(bit) : nullptr;
            if (word == nullptr) continue;
            if (!words.empty()) words += '+';
            words += word;
        }
        text += std::to_string(line.first);
        if (line.last != line.first) text += ".." + std::to_string(line.last);
        text += " key " + words + "\n";
    }
    return text;
}

}  // namespace qvn_solve
