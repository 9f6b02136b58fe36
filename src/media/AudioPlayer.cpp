#include "media/AudioPlayer.h"

#include <cmath>

#include "shell/Files.h"
#include "shell/ProgramState.h"

namespace kelvarn {

TAudioPlayer::TAudioPlayer(IAudioSink& sink, TProgramState& state) : sink_(sink), state_(state) {}

TAudioPlayer::~TAudioPlayer() {
    if (playing_) sink_.Stop();
}

bool TAudioPlayer::HasOutput() const {
    if (output_ < 0) {
        output_ = sink_.OpenOutput() ? 1 : 0;
        // Said once, in the status bar: the program goes on without sound, and no box stops each click.
        if (!output_ && state_.CommandTarget) state_.SendStatusText(stPanel2, kAudioInitError);
    }
    return output_ == 1;
}

bool TAudioPlayer::Ready() const { return HasOutput() && !playing_; }

std::string TAudioPlayer::Play(const std::string& path) { return Start(path, false); }

std::string TAudioPlayer::PlayChained(const std::string& path) { return Start(path, true); }

std::string TAudioPlayer::Start(const std::string& path, bool chained) {
    if (playing_) Stop();
    if (!FileExists(path)) return "File not found: " + path;
    // Without a device nothing plays; the user was told once, at the first request.
    if (!HasOutput()) return "." + std::string(kAudioInitError);
    if (std::string error = decoder_.Open(path); !error.empty()) return error;
    duration_ = decoder_.SampleRate() > 0 ? static_cast<double>(decoder_.Frames()) / decoder_.SampleRate() : 0.0;
    std::string description;
    if (const int number = sink_.Start(decoder_, description); number != 0) {
        decoder_.Close();
        std::string text = "Cannot Play Audio Stream: " + std::to_string(number);
        if (!description.empty()) text += " (" + description + ")";
        return text;
    }
    endInterval_ = static_cast<int>(std::lround(duration_ * 1000.0)) + 100;
    playing_ = true;
    chained_ = chained;
    if (SetEndTimer) SetEndTimer(endInterval_);
    if (StateChanged) StateChanged();
    return {};
}

void TAudioPlayer::Stop() {
    const bool was = playing_;
    if (playing_) sink_.Stop();
    decoder_.Close();
    playing_ = false;
    chained_ = false;
    if (SetEndTimer) SetEndTimer(0);
    if (was && StateChanged) StateChanged();
}

void TAudioPlayer::EndTimerFired() {
    const bool chained = chained_ && playing_;
    Stop();
    if (chained && PlaybackOver) PlaybackOver();
}

void TAudioPlayer::OpenEditor() {
    Stop();
    if (ShowEditor) ShowEditor();
}

int TAudioPlayer::Progress() const {
    if (!playing_) return 0;
    return ProgressPercent(sink_.Position(), decoder_.Frames());
}

}  // namespace kelvarn
