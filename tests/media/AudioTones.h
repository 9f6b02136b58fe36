// Sine tones written with libsndfile, the sounds the audio tests work on.
#pragma once

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvarn::test {

// Writes `seconds` of a sine at `frequency` in every channel; returns the frames written (0 on failure).
inline std::int64_t WriteTone(const std::string& path, int format, int rate, int channels, double seconds,
                              double frequency = 440.0) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return 0;
    const auto frames = static_cast<std::int64_t>(std::llround(seconds * rate));
    std::vector<float> samples(static_cast<std::size_t>(frames * channels));
    for (std::int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[static_cast<std::size_t>(i * channels + c)] =
                static_cast<float>(0.5 * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / rate));
    const sf_count_t written = sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return written;
}

struct DecodedSound {
    int rate = 0;
    int channels = 0;
    int format = 0;
    std::vector<float> samples;  // interleaved
    std::int64_t Frames() const { return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
};

inline DecodedSound ReadSound(const std::string& path) {
    DecodedSound sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return sound;
    sound.rate = info.samplerate;
    sound.channels = info.channels;
    sound.format = info.format;
    std::vector<float> chunk(static_cast<std::size_t>(4096 * info.channels));
    sf_count_t got;
    while ((got = sf_readf_float(file, chunk.data(), 4096)) > 0)
        sound.samples.insert(sound.samples.end(), chunk.begin(), chunk.begin() + got * info.channels);
    sf_close(file);
    return sound;
}

// The tone's frequency in one channel, from its upward zero crossings (the middle of the sound, away
// from the resampler's edges).
inline double ToneFrequency(const DecodedSound& sound, int channel = 0) {
    const std::int64_t frames = sound.Frames();
    const std::int64_t from = frames / 10, to = frames - frames / 10;
    std::int64_t first = -1, last = -1, crossings = 0;
    for (std::int64_t i = from + 1; i < to; ++i) {
        const float a = sound.samples[static_cast<std::size_t>((i - 1) * sound.channels + channel)];
        const float b = sound.samples[static_cast<std::size_t>(i * sound.channels + channel)];
        if (a < 0 && b >= 0) {
            if (first < 0) first = i;
            else ++crossings;
            last = i;
        }
    }
    if (crossings == 0) return 0;
    return static_cast<double>(crossings) * sound.rate / static_cast<double>(last - first);
}

}  // namespace kelvarn::test
