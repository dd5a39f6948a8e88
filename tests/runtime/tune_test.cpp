// The tune's play modes, rendered without a sound device: sound while playing (also past
// the tune's end when repeating), silence when off or after a single play.
#include "platform/ui/tune_player.h"
#include "runtime_test_support.h"

#include <cmath>

namespace {

// One quarter-second middle C in a half-second Standard MIDI File (format 0).
std::string tinyTune() {
    const unsigned char bytes[] = {
        'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,
        'M', 'T', 'r', 'k', 0, 0, 0, 17,
        0x00, 0xC0, 0x00,              // piano
        0x00, 0x90, 0x3C, 0x64,        // note on
        0x81, 0x70, 0x80, 0x3C, 0x40,  // 240 ticks later: note off
        0x81, 0x70, 0xFF, 0x2F, 0x00,  // 240 ticks later: end of track
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

constexpr int kRate = 44100;

// Root mean square of the frames from `from` seconds to the end.
double loudness(const std::vector<int16_t>& samples, double from) {
    const size_t start = static_cast<size_t>(from * kRate) * 2;
    double sum = 0;
    for (size_t i = start; i < samples.size(); ++i) sum += double(samples[i]) * samples[i];
    return samples.size() > start ? std::sqrt(sum / double(samples.size() - start)) : 0;
}

class Tune : public ::testing::Test {
protected:
    void SetUp() override {
        if (ui::TunePlayer::soundfontPath().empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    }
};

TEST_F(Tune, PlayModesRenderedToABuffer) {
    ui::TunePlayer player(tinyTune());
    EXPECT_EQ(player.mode(), 2);
    const int frames = 4 * kRate;
    const auto off = player.render(frames);
    ASSERT_EQ(off.size(), size_t(frames) * 2);
    // FluidSynth dithers its 16-bit output: silence is a sample or two of noise.
    EXPECT_LT(loudness(off, 0), 2.0);

    player.setMode(1);
    const auto once = player.render(frames);
    player.setMode(0);
    const auto loop = player.render(frames);
    EXPECT_GT(loudness(once, 0), 50.0);  // plays
    EXPECT_GT(loudness(loop, 0), 50.0);
    // Long after the tune's end: the single play has died away, the loop plays on.
    EXPECT_LT(loudness(once, 3.0), 5.0);
    EXPECT_GT(loudness(loop, 3.0), 50.0);

    player.setMode(2);
    EXPECT_LT(loudness(player.render(kRate), 0), 2.0);
    player.setMode(7);  // anything else is off too
    EXPECT_EQ(player.mode(), 2);
}

TEST_F(Tune, NotAMidiFileRendersNothingAndPlaysNothing) {
    ui::TunePlayer player("not a tune");
    player.setMode(0);  // no sound device here, or a bad file: quietly nothing
    EXPECT_FALSE(player.isAudible());
    EXPECT_TRUE(player.render(kRate).empty());
}

}  // namespace
