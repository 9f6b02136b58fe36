// Sound files of an asset: what they are (format, rate, length), their decoding into 16-bit frames for
// playing, and the repair that re-encodes a sound as a plain 16-bit PCM WAVE file at a standard rate.
// libsndfile reads (WAV in its encodings, Ogg Vorbis, MPEG layers 1-3); libsamplerate resamples.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarn {

// The extensions the audio editor lists, tested as whole extensions ignoring case.
inline constexpr std::string_view kAudioExtensions = ".ogg.mp1.mp2.mp3.mp4.wav";

struct AudioInfo {
    std::string error;  // empty when the file opened as a sound
    int formatCode = 0;  // libsndfile's format word (major | subtype)
    std::string formatName;
    int channels = 0;
    int sampleRate = 0;
    std::string bits;          // "8", "16" or "32 bit floating point"
    std::int64_t fileSize = -1;  // from the directory entry; -1 when not found
    std::int64_t frames = 0;
    double Duration() const { return sampleRate > 0 ? static_cast<double>(frames) / sampleRate : 0.0; }
};

// "Cannot Create Audio Stream: " + the library's error number and its description in brackets.
std::string StreamErrorText(int number, std::string_view description);

// The format name shown for a libsndfile format word.
std::string AudioFormatName(int formatCode);

AudioInfo ProbeAudio(const std::string& path);

// The information lines the audio editor shows, each preceded by CR LF; the stream's error text when
// the file does not open.
std::string ShowAudioInfo(const std::string& path);

// The sound files below `assetFolder` (sub-folders included), relative to it with "\", in name order.
std::vector<std::string> ListAudioFiles(const std::string& assetFolder);

// "1,234,567": "," groups thousands in every locale.
std::string GroupThousands(std::int64_t value);

// position / length as a whole percentage; 0 when the length is not positive.
int ProgressPercent(std::int64_t position, std::int64_t length);

// The rate a repaired sound gets: 44100 from 44100 up, else 22050 from 22050 up, else 11025.
int RepairedRate(int sourceRate);

// A name the audio editor may save a duration under: not empty, and nothing that would break the
// config line (blanks, quotes, braces, "\").
bool IsPlainTagName(std::string_view name);
// A duration as the saved tag's value: quoted, two decimals ("2.50").
std::string DurationTagValue(double seconds);

// Reads a sound as interleaved 16-bit frames, for the output device.
class TAudioDecoder {
public:
    TAudioDecoder();
    ~TAudioDecoder();
    TAudioDecoder(const TAudioDecoder&) = delete;
    TAudioDecoder& operator=(const TAudioDecoder&) = delete;

    // Empty on success, else the stream error text.
    std::string Open(const std::string& path);
    bool IsOpen() const;
    int Channels() const;
    int SampleRate() const;
    std::int64_t Frames() const;
    // Reads up to `frames` frames into `out` (frames x channels samples); returns the frames read,
    // 0 at the end or after an error.
    std::int64_t Read(std::int16_t* out, std::int64_t frames);
    std::int64_t Position() const { return position_; }
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::int64_t position_ = 0;
};

// Told position and length in source frames; returns false to cancel.
using RepairProgress = std::function<bool(std::int64_t position, std::int64_t length)>;

// Re-encodes the sound at `path` as a 16-bit PCM WAVE file at RepairedRate, channels kept. A ".wav"
// source is replaced under its own name; any other becomes "<base>.wav" (never replacing an existing
// one) and the source is then deleted. Returns empty on success, else a message; on any failure or a
// cancel the source is untouched and nothing is left beside it. A stream that does not decode to its
// end (a damaged Ogg page, a decoder error) is refused, naming the seconds that would be lost. A WAVE
// file whose data stops before its header says keeps every frame there is (a streamed file's data
// up to the chunks after it); the repair then succeeds with a message beginning ".".
std::string RepairAudioFile(const std::string& path, const RepairProgress& progress = {});

}  // namespace kelvarn
