// The program's one audio player: plays a sound file through an output device, times the end of
// playback and chains the audio editor's next file. The device is an IAudioSink (Qt Multimedia in the
// program, a fake in tests); it is opened at the first request for sound, so a machine without one
// starts unattended and reads about it once, in the status bar.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "media/AudioFile.h"
#include "shell/AudioPlayer.h"

namespace kelvarn {

class TProgramState;

inline constexpr const char* kAudioInitError = "Sonvarn: Error initialising audio";

class IAudioSink {
public:
    virtual ~IAudioSink() = default;
    // Opens the output device; false when there is none.
    virtual bool OpenOutput() = 0;
    // Starts a 16-bit stream at the decoder's rate and channels, pulling its frames as the device
    // needs them. Returns 0, or an error number with its description.
    virtual int Start(TAudioDecoder& source, std::string& description) = 0;
    virtual void Stop() = 0;
    // Frames played since Start.
    virtual std::int64_t Position() const = 0;
};

class TAudioPlayer final : public IAudioPlayer {
public:
    TAudioPlayer(IAudioSink& sink, TProgramState& state);
    ~TAudioPlayer() override;

    bool Ready() const override;
    bool Playing() const override { return playing_; }
    // "File not found: ", "Cannot Create Audio Stream: " or "Cannot Play Audio Stream: " with the
    // error; empty when it plays.
    std::string Play(const std::string& path) override;
    void Stop() override;
    void OpenEditor() override;

    // The audio editor's own playback: only this one chains to the next file when it ends.
    std::string PlayChained(const std::string& path);
    // The end timer ran out: playback is over.
    void EndTimerFired();
    // Whether an output device opened (opening it on the first call).
    bool HasOutput() const;

    int EndInterval() const { return endInterval_; }  // ms, round(duration x 1000) + 100
    double Duration() const { return duration_; }      // of the last file played
    int Progress() const;                              // percent of the playing sound

    // Starts the end timer with an interval in ms; 0 stops it.
    std::function<void(int ms)> SetEndTimer;
    std::function<void()> ShowEditor;
    std::function<void()> StateChanged;
    // After the editor's own playback ended.
    std::function<void()> PlaybackOver;

private:
    std::string Start(const std::string& path, bool chained);

    IAudioSink& sink_;
    TProgramState& state_;
    TAudioDecoder decoder_;
    mutable int output_ = -1;  // -1 not tried yet, 0 none, 1 open
    bool playing_ = false;
    bool chained_ = false;
    double duration_ = 0;
    int endInterval_ = 0;
};

}  // namespace kelvarn
