// The embedded tune of a window: a Standard MIDI File played through FluidSynth with a
// General MIDI soundfont from Debian (/usr/share/sounds/sf2).
//
// Play modes: 0 from the beginning, repeating without end; 1 once; 2 off. Setting a
// mode first stops what plays, then starts again from the beginning for 0 and 1. A
// machine without a sound device (or without a soundfont) plays nothing and says
// nothing. Synthesizer and audio driver are made on the first play, not before.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class TunePlayer {
public:
    explicit TunePlayer(std::string midiBytes);
    ~TunePlayer();
    TunePlayer(const TunePlayer&) = delete;
    TunePlayer& operator=(const TunePlayer&) = delete;

    void setMode(int mode);  // values other than 0 and 1 count as 2 (off)
    int mode() const;
    // True when a sound device was found and the tune is being sent to it.
    bool isAudible() const;

    // Renders what this player would send to a sound device, without one: `frames`
    // stereo frames at 44100 Hz of the tune in the current mode, from its beginning
    // (interleaved left/right samples). Mode 2 renders silence. Returns an empty vector
    // when no soundfont is installed or the bytes are no MIDI file.
    std::vector<int16_t> render(int frames) const;

    // The soundfont used ("" when none is installed).
    static std::string soundfontPath();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace ui
