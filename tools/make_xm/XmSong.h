// The .xm writer's source: a song as readable text, and the song it describes.
//
//   # A two-bar tune.
//   title Demo tune
//   channels 4                     # even, 2 to 32
//   speed 6                        # ticks a row
//   bpm 125
//   restart 0                      # the order the song loops back to
//   instrument lead square volume 40 envelope 0:64 8:40 40:32
//   instrument hat noise volume 24 envelope 0:64 3:0
//   pattern intro
//   C-4 lead     | ---          | ---  | ---
//   E-4 lead v32 | F#3 lead     | off  | ---
//   order intro intro
//
// Instruments are looped single cycles of a shape (sine, square, triangle, saw; noise is a
// longer loop), so that a note plays at its pitch; the envelope is tick:level pairs (level
// 0 to 64). A pattern's rows are the lines after it, one cell a channel between '|': "---"
// for nothing, "off" for a key-off, or a note (C-0 to B-7, '#' for sharps), the instrument's
// name and an optional volume v0 to v64.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/waveform/Waveform.h"

struct XmInstrument {
    std::string name;
    WaveShape shape = WaveShape::Square;
    int volume = 64;
    std::vector<std::pair<int, int>> envelope;  // (tick, level)
};

struct XmCell {
    std::uint8_t note = 0;        // 0 none, 1..96 C-0..B-7, 97 key-off
    std::uint8_t instrument = 0;  // from 1
    std::uint8_t volume = 0;      // 0 none, else 0x10 + volume
};

constexpr std::uint8_t kXmKeyOff = 97;

struct XmPattern {
    std::string name;
    int rows = 0;
    std::vector<XmCell> cells;  // row by row, one a channel
};

struct XmSong {
    std::string title;
    int channels = 4;
    int speed = 6;
    int bpm = 125;
    int restart = 0;
    std::vector<XmInstrument> instruments;
    std::vector<XmPattern> patterns;
    std::vector<int> orders;  // pattern numbers
};

// False with a sentence naming the file and line in `error` on the first mistake.
bool ParseXmSong(const std::string& text, const std::string& fileName, XmSong& song, std::string& error);
