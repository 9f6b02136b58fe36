// The audio player as the file list, the tool runner and the main window use it: play a sound file,
// stop, and open the audio editor. Until the audio player itself is built, the silent player stands
// in: it is always idle and plays nothing.
#pragma once

#include <string>

namespace kelvarn {

class IAudioPlayer {
public:
    virtual ~IAudioPlayer() = default;
    // Idle and ready: nothing plays and the sound library is up.
    virtual bool Ready() const = 0;
    virtual bool Playing() const = 0;
    // Plays the file; returns an error text, empty when it plays.
    virtual std::string Play(const std::string& path) = 0;
    virtual void Stop() = 0;
    // Stops playback and shows the audio editor modally.
    virtual void OpenEditor() = 0;
};

class SilentAudioPlayer final : public IAudioPlayer {
public:
    bool Ready() const override { return false; }
    bool Playing() const override { return false; }
    std::string Play(const std::string&) override { return {}; }
    void Stop() override {}
    void OpenEditor() override {}
};

}  // namespace kelvarn
