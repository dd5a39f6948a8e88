// The embedded tune through FluidSynth: a synthesizer and audio driver made on the first
// play, a fresh MIDI player for every start, and an offline rendering for tests.
#include "platform/ui/tune_player.h"

#include <fluidsynth.h>

#include <QDir>
#include <QFileInfo>

#include <mutex>

namespace ui {

namespace {

void silenceFluidSynth() {
    // A machine without sound says nothing; FluidSynth would report every failed driver.
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

// ALSA prints its own complaints when there is no card at all; only try it with one.
bool hasSoundCard() {
    return !QDir(QStringLiteral("/dev/snd")).entryList({QStringLiteral("pcm*")}, QDir::System).isEmpty();
}

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    bool loaded = false;

    explicit Synth(bool offline) {
        silenceFluidSynth();
        settings = new_fluid_settings();
        fluid_settings_setnum(settings, "synth.sample-rate", 44100.0);
        fluid_settings_setint(settings, "synth.lock-memory", 0);
        if (offline) {
            // The player then advances with the rendered samples, not with the clock.
            fluid_settings_setstr(settings, "player.timing-source", "sample");
            fluid_settings_setint(settings, "synth.cpu-cores", 1);
        }
        synth = new_fluid_synth(settings);
        const std::string font = TunePlayer::soundfontPath();
        loaded = synth && !font.empty() && fluid_synth_sfload(synth, font.c_str(), 1) != FLUID_FAILED;
    }
    ~Synth() {
        if (synth) delete_fluid_synth(synth);
        if (settings) delete_fluid_settings(settings);
    }
};

fluid_player_t* startPlayer(fluid_synth_t* synth, const std::string& midi, int mode) {
    // A player handed bytes that are no MIDI file never starts and never finishes.
    if (midi.size() < 14 || midi.compare(0, 4, "MThd") != 0) return nullptr;
    fluid_player_t* player = new_fluid_player(synth);
    if (!player) return nullptr;
    if (fluid_player_add_mem(player, midi.data(), midi.size()) != FLUID_OK) {
        delete_fluid_player(player);
        return nullptr;
    }
    fluid_player_set_loop(player, mode == 0 ? -1 : 1);
    fluid_player_play(player);
    return player;
}

void stopPlayer(fluid_player_t*& player, fluid_synth_t* synth) {
    if (!player) return;
    fluid_player_stop(player);
    delete_fluid_player(player);
    player = nullptr;
    fluid_synth_all_sounds_off(synth, -1);
}

}  // namespace

struct TunePlayer::Impl {
    std::string midi;
    int mode = 2;
    std::unique_ptr<Synth> synth;
    fluid_audio_driver_t* driver = nullptr;
    bool driverTried = false;
    fluid_player_t* player = nullptr;

    bool ensureOutput() {
        if (!driverTried) {
            driverTried = true;
            synth = std::make_unique<Synth>(false);
            if (!synth->loaded) return false;
            for (const char* name : {"pulseaudio", "alsa"}) {
                if (std::string(name) == "alsa" && !hasSoundCard()) continue;
                fluid_settings_setstr(synth->settings, "audio.driver", name);
                driver = new_fluid_audio_driver(synth->settings, synth->synth);
                if (driver) break;
            }
        }
        return driver != nullptr;
    }
};

TunePlayer::TunePlayer(std::string midiBytes) : d_(std::make_unique<Impl>()) {
    d_->midi = std::move(midiBytes);
}

TunePlayer::~TunePlayer() {
    if (d_->synth) stopPlayer(d_->player, d_->synth->synth);
    if (d_->driver) delete_fluid_audio_driver(d_->driver);
}

void TunePlayer::setMode(int mode) {
    if (mode != 0 && mode != 1) mode = 2;
    d_->mode = mode;
    if (d_->synth) stopPlayer(d_->player, d_->synth->synth);
    if (mode == 2) return;
    if (!d_->ensureOutput()) return;
    d_->player = startPlayer(d_->synth->synth, d_->midi, mode);
}

int TunePlayer::mode() const { return d_->mode; }

bool TunePlayer::isAudible() const {
    return d_->driver && d_->player && fluid_player_get_status(d_->player) == FLUID_PLAYER_PLAYING;
}

std::vector<int16_t> TunePlayer::render(int frames) const {
    Synth synth(true);
    if (!synth.loaded || frames <= 0) return {};
    fluid_player_t* player = nullptr;
    if (d_->mode != 2) {
        player = startPlayer(synth.synth, d_->midi, d_->mode);
        if (!player) return {};
    }
    std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
    constexpr int kBlock = 512;
    for (int done = 0; done < frames; done += kBlock) {
        const int n = std::min(kBlock, frames - done);
        int16_t* at = out.data() + static_cast<size_t>(done) * 2;
        fluid_synth_write_s16(synth.synth, n, at, 0, 2, at, 1, 2);
    }
    if (player) {
        fluid_player_stop(player);
        delete_fluid_player(player);
    }
    return out;
}

std::string TunePlayer::soundfontPath() {
    // Small first: TimGM6mb loads in a blink, FluidR3 (default-GM) takes a while.
    for (const char* name : {"TimGM6mb.sf2", "default-GM.sf2", "FluidR3_GM.sf2"}) {
        const QString path = QStringLiteral(LOOKUP_SOUNDFONT_DIRS "/") + QLatin1String(name);
        if (QFileInfo(path).isFile()) return path.toStdString();
    }
    return {};
}

}  // namespace ui
