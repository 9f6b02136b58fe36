// An output device for tests: pulls every frame of the stream at once and reports a set position.
#pragma once

#include <string>
#include <vector>

#include "media/AudioPlayer.h"

namespace kelvarn::test {

class FakeAudioSink final : public IAudioSink {
public:
    bool hasOutput = true;
    int startError = 0;
    int opens = 0;
    int starts = 0;
    int stops = 0;
    std::int64_t position = 0;
    std::int64_t pulled = 0;
    int rate = 0, channels = 0;

    bool OpenOutput() override {
        ++opens;
        return hasOutput;
    }
    int Start(TAudioDecoder& source, std::string& description) override {
        ++starts;
        if (startError) {
            description = "refused";
            return startError;
        }
        rate = source.SampleRate();
        channels = source.Channels();
        pulled = 0;
        std::vector<std::int16_t> buffer(static_cast<std::size_t>(512 * source.Channels()));
        std::int64_t got;
        while ((got = source.Read(buffer.data(), 512)) > 0) pulled += got;
        return 0;
    }
    void Stop() override { ++stops; }
    std::int64_t Position() const override { return position; }
};

}  // namespace kelvarn::test
