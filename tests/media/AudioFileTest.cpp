#include "media/AudioFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "media/AudioTones.h"
#include "support/TestSupport.h"
#include "shell/Files.h"
#include "shell/PathText.h"

namespace kelvarn {
namespace {
using namespace test;

using test::ReadSound;
using test::ToneFrequency;
using test::WriteTone;

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

struct FormatCase {
    const char* file;
    int format;
    const char* name;
    const char* bits;
    bool exactFrames;
};

TEST(AudioFile, ProbeAndDecodeEachFormat) {
    TempDir dir;
    const FormatCase cases[] = {
        {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "Integer PCM WAVE", "16", true},
        {"pcm8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, "Integer PCM WAVE", "8", true},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, "Floating-point PCM WAVE", "32 bit floating point", true},
        {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, "ITU G.711 Au-law", "16", true},
        {"alaw.wav", SF_FORMAT_WAV | SF_FORMAT_ALAW, "ITU G.711 a-law", "16", true},
        {"adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, "Microsoft ADPCM", "16", false},
        {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, "WAVE format", "16", false},
        {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "Ogg Vorbis", "16", true},
        {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, "MPEG layer 3", "16", false},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir / c.file;
        const std::int64_t written = WriteTone(path, c.format, 22050, 2, 0.5);
        ASSERT_GT(written, 0);
        const AudioInfo info = ProbeAudio(path);
        ASSERT_EQ(info.error, "");
        EXPECT_EQ(info.formatName, c.name);
        EXPECT_EQ(info.bits, c.bits);
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.sampleRate, 22050);
        EXPECT_EQ(info.fileSize, static_cast<std::int64_t>(FileSize(path)));
        // ADPCM pads its last block, MP3 its last frame.
        const std::int64_t slack = c.exactFrames ? 0 : 2048;
        EXPECT_LE(std::llabs(info.frames - written), slack);

        TAudioDecoder decoder;
        ASSERT_EQ(decoder.Open(path), "");
        std::vector<std::int16_t> buffer(1000 * 2);
        std::int64_t total = 0, got;
        while ((got = decoder.Read(buffer.data(), 1000)) > 0) total += got;
        EXPECT_EQ(total, info.frames);
        EXPECT_EQ(decoder.Position(), total);
    }
    EXPECT_EQ(AudioFormatName(0x7F0000), "(8323072) not recognised");
}

TEST(AudioFile, InfoTextIsExact) {
    TempDir dir;
    const std::string path = dir / "tone.wav";
    ASSERT_EQ(WriteTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 1.0), 48000);
    EXPECT_EQ(ShowAudioInfo(path),
              "\r\n Filename:        \ttone.wav"
              "\r\n Format:          Integer PCM WAVE"
              "\r\n Channels:        2"
              "\r\n Sample Rate:     48000"
              "\r\n Bits per Sample: 16"
              "\r\n File Size:       192,044 bytes"
              "\r\n Duration:        1.00 seconds");
}

TEST(AudioFile, UnreadableSoundsGiveTheStreamError) {
    TempDir dir;
    WriteBytes(dir / "bad.ogg", "OggS this is not a vorbis stream at all");
    EXPECT_EQ(ShowAudioInfo(dir / "bad.ogg").rfind("Cannot Create Audio Stream: ", 0), 0u);
    EXPECT_EQ(ProbeAudio(dir / "missing.wav").fileSize, -1);
    WriteBytes(dir / "empty.wav", "");
    EXPECT_NE(ProbeAudio(dir / "empty.wav").error, "");
    TAudioDecoder decoder;
    EXPECT_NE(decoder.Open(dir / "bad.ogg"), "");
    std::int16_t sample[2];
    EXPECT_EQ(decoder.Read(sample, 1), 0);
}

TEST(AudioFile, ListsWholeExtensionsIgnoringCaseInSubFolders) {
    TempDir dir;
    std::filesystem::create_directories(dir / "sounds/deep");
    for (const char* name : {"A.WAV", "sounds/b.Ogg", "sounds/deep/c.mp2", "x.mp", "d.mp4", "e.wav.txt", "f.txt", "g.MP3"})
        WriteBytes(dir / name, "x");
    std::vector<std::string> listed = ListAudioFiles(dir.Path());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{"A.WAV", "d.mp4", "g.MP3", "sounds\\b.Ogg", "sounds\\deep\\c.mp2"}));
    EXPECT_TRUE(ListAudioFiles("").empty());
}

// The real assets hold no sounds; the listing walks them all and finds none that is not one.
TEST(AudioFile, ListingTheCorpusFindsOnlySounds) {
    const std::filesystem::path corpus = std::filesystem::path(KELVARN_SOURCE_DIR) / "../shared/corpus";
    if (!std::filesystem::exists(corpus)) GTEST_SKIP() << "no corpus beside the repository";
    int assets = 0;
    for (const auto& asset : std::filesystem::directory_iterator(corpus)) {
        if (!asset.is_directory()) continue;
        ++assets;
        for (const std::string& file : ListAudioFiles(asset.path().string()))
            EXPECT_EQ(ProbeAudio(asset.path().string() + "/" + file).error, "") << file;
    }
    EXPECT_GT(assets, 0);
}

TEST(AudioFile, NumbersAndRates) {
    EXPECT_EQ(GroupThousands(192044), "192,044");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1234567), "1,234,567");
    EXPECT_EQ(GroupThousands(-1), "-1");
    EXPECT_EQ(ProgressPercent(5, 0), 0);
    EXPECT_EQ(ProgressPercent(50, 200), 25);
    EXPECT_EQ(ProgressPercent(300, 200), 100);
    EXPECT_EQ(RepairedRate(96000), 44100);
    EXPECT_EQ(RepairedRate(44100), 44100);
    EXPECT_EQ(RepairedRate(32000), 22050);
    EXPECT_EQ(RepairedRate(22050), 22050);
    EXPECT_EQ(RepairedRate(8000), 11025);
    EXPECT_EQ(DurationTagValue(2.5), "\"2.50\"");
    EXPECT_EQ(DurationTagValue(0.499), "\"0.50\"");
    EXPECT_TRUE(IsPlainTagName("len"));
    EXPECT_TRUE(IsPlainTagName("horn-2_len"));
    for (const char* bad : {"", "a b", "a\"b", "a{", "b}", "a\\b", "tab\there"}) EXPECT_FALSE(IsPlainTagName(bad)) << bad;
}

TEST(AudioRepair, ResamplesToTheStandardRatesKeepingChannelsAndPitch) {
    struct RateCase { int in, out, channels; };
    for (const RateCase c : {RateCase{48000, 44100, 2}, RateCase{32000, 22050, 1}, RateCase{8000, 11025, 3},
                             RateCase{44100, 44100, 2}}) {
        SCOPED_TRACE(c.in);
        TempDir dir;
        const std::string path = dir / "tone.wav";
        const std::int64_t in = WriteTone(path, SF_FORMAT_WAV | SF_FORMAT_FLOAT, c.in, c.channels, 1.5, 1000.0);
        std::int64_t lastPosition = 0, calls = 0;
        ASSERT_EQ(RepairAudioFile(path, [&](std::int64_t position, std::int64_t length) {
                      EXPECT_EQ(length, in);
                      EXPECT_GE(position, lastPosition);
                      lastPosition = position;
                      ++calls;
                      return true;
                  }),
                  "");
        EXPECT_EQ(lastPosition, in);
        EXPECT_GT(calls, 0);
        const test::DecodedSound out = ReadSound(path);
        EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_EQ(out.rate, c.out);
        EXPECT_EQ(out.channels, c.channels);
        const double expected = static_cast<double>(in) * c.out / c.in;
        EXPECT_NEAR(static_cast<double>(out.Frames()), expected, expected * 0.005);
        EXPECT_NEAR(ToneFrequency(out), 1000.0, 10.0);
        EXPECT_NEAR(ToneFrequency(out, c.channels - 1), 1000.0, 10.0);

        // A plain 44-byte header: RIFF, a 16-byte fmt chunk with format tag 1, then the data.
        const std::string bytes = ReadBytes(path);
        ASSERT_GE(bytes.size(), 44u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(bytes[16], 16);
        EXPECT_EQ(bytes[20], 1);
        EXPECT_EQ(bytes[21], 0);
        EXPECT_EQ(bytes[34], 16);
        EXPECT_EQ(bytes.substr(36, 4), "data");
        EXPECT_EQ(bytes.size(), 44u + static_cast<std::size_t>(out.Frames()) * 2 * c.channels);
        EXPECT_EQ(FolderNames(dir.Path()), std::set<std::string>{"tone.wav"});
    }
}

TEST(AudioRepair, OtherFormatsBecomeAWaveBesideAndCaseIsKept) {
    TempDir dir;
    ASSERT_GT(WriteTone(dir / "horn.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 48000, 2, 0.5), 0);
    ASSERT_GT(WriteTone(dir / "A.WAV", SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1, 0.5), 0);
    ASSERT_GT(WriteTone(dir / "bell.Mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 32000, 1, 0.5, 1000.0), 0);
    EXPECT_EQ(RepairAudioFile(dir / "horn.ogg"), "");
    EXPECT_EQ(RepairAudioFile(dir / "A.WAV"), "");
    EXPECT_EQ(RepairAudioFile(dir / "bell.Mp3"), "");
    EXPECT_EQ(FolderNames(dir.Path()), (std::set<std::string>{"A.WAV", "bell.wav", "horn.wav"}));
    EXPECT_EQ(ReadSound(dir / "bell.wav").rate, 22050);
    EXPECT_NEAR(ToneFrequency(ReadSound(dir / "bell.wav")), 1000.0, 10.0);
    EXPECT_EQ(ReadSound(dir / "horn.wav").rate, 44100);
    EXPECT_EQ(ReadSound(dir / "A.WAV").rate, 11025);
}

// Every failure leaves the source as it was and nothing beside it.
TEST(AudioRepair, FailuresAndCancelLoseNothing) {
    TempDir dir;
    ASSERT_GT(WriteTone(dir / "good.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 0.5), 0);
    ASSERT_GT(WriteTone(dir / "bell.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 22050, 1, 0.5), 0);
    WriteBytes(dir / "bell.WAV", "someone's own bell");
    const std::string good = ReadBytes(dir / "good.wav");
    WriteBytes(dir / "junk.wav", std::string(3000, '\x55'));
    WriteBytes(dir / "junk.$$$", "stale part of an earlier repair");
    const auto before = FolderNames(dir.Path());
    std::map<std::string, std::string> bytes;
    for (const std::string& name : before) bytes[name] = ReadBytes(dir / name);

    const std::string existing = RepairAudioFile(dir / "bell.ogg");
    EXPECT_NE(existing.find("bell.WAV"), std::string::npos) << existing;
    EXPECT_NE(RepairAudioFile(dir / "junk.wav"), "");
    EXPECT_NE(RepairAudioFile(dir / "absent.wav"), "");
    EXPECT_EQ(RepairAudioFile(dir / "good.wav", [](std::int64_t, std::int64_t) { return false; }).rfind("Repair cancelled", 0), 0u);
    SetWriteFaultHook([](const std::string&) { return std::size_t{100}; });
    EXPECT_NE(RepairAudioFile(dir / "good.wav"), "");
    SetWriteFaultHook({});

    EXPECT_EQ(FolderNames(dir.Path()), before);
    for (const std::string& name : before) EXPECT_TRUE(ReadBytes(dir / name) == bytes[name]) << name;

    // A stale part beside the sound plays no part in its repair.
    EXPECT_EQ(RepairAudioFile(dir / "good.wav"), "");
    EXPECT_EQ(ReadSound(dir / "good.wav").rate, 44100);
    EXPECT_TRUE(ReadBytes(dir / "junk.$$$") == bytes["junk.$$$"]);
}

// Streamed sounds (sizes 0xFFFFFFFF) and cut-off files play as far as their data goes; the repair keeps
// exactly that much under a header that matches it, and says the sound was shorter.
TEST(AudioRepair, SoundsShorterThanTheirHeaderKeepWhatIsThere) {
    TempDir dir;
    ASSERT_EQ(WriteTone(dir / "tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 2, 1.0), 22050);
    const std::string whole = ReadBytes(dir / "tone.wav");
    ASSERT_EQ(whole.substr(36, 4), "data");
    std::string streamed = whole;
    for (std::size_t at : {std::size_t{4}, std::size_t{40}}) streamed.replace(at, 4, "\xFF\xFF\xFF\xFF");
    WriteBytes(dir / "streamed.wav", streamed);
    WriteBytes(dir / "cut.wav", whole.substr(0, 44 + 4 * 10000 + 3));  // ends inside a frame

    struct Case {
        const char* name;
        std::int64_t frames;
    } cases[] = {{"streamed.wav", 22050}, {"cut.wav", 10000}};
    for (const Case& c : cases) {
        const std::string source = ReadBytes(dir / c.name);
        // Until the repaired file is in place the source stays as it was.
        SetWriteFaultHook([](const std::string&) { return std::size_t{100}; });
        EXPECT_NE(RepairAudioFile(dir / c.name).rfind(".", 0), 0u) << c.name;
        SetWriteFaultHook({});
        EXPECT_TRUE(ReadBytes(dir / c.name) == source) << c.name;

        const std::string message = RepairAudioFile(dir / c.name);
        EXPECT_EQ(message.rfind(".", 0), 0u) << c.name << ": " << message;
        EXPECT_NE(message.find("shorter than its header"), std::string::npos) << message;
        const std::string repaired = ReadBytes(dir / c.name);
        ASSERT_GE(repaired.size(), 44u) << c.name;
        const auto riffSize = static_cast<std::uint8_t>(repaired[4]) | static_cast<std::uint8_t>(repaired[5]) << 8 |
                              static_cast<std::uint8_t>(repaired[6]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(repaired[7])) << 24;
        EXPECT_EQ(riffSize, repaired.size() - 8) << c.name;
        EXPECT_EQ(ReadSound(dir / c.name).Frames(), c.frames) << c.name;
        // The repaired file is whole: a second repair has nothing to report.
        EXPECT_EQ(RepairAudioFile(dir / c.name), "") << c.name;
    }
}

// A streamed sound followed by a chunk of its own (tags, cue points): the chunk is no sound, and the
// notice counts the frames the repaired file holds at its own rate.
TEST(AudioRepair, AStreamedWaveKeepsItsSoundAndNotTheChunkAfterIt) {
    TempDir dir;
    ASSERT_EQ(WriteTone(dir / "tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 1, 1.0), 48000);
    std::string bytes = ReadBytes(dir / "tone.wav");
    ASSERT_EQ(bytes.substr(36, 4), "data");
    for (std::size_t at : {std::size_t{4}, std::size_t{40}}) bytes.replace(at, 4, "\xFF\xFF\xFF\xFF");
    std::string list = "INFOISFT";
    list += std::string("\x0F\0\0\0", 4) + "Kelvarn tester" + std::string(2, '\0');
    bytes += "LIST" + std::string{static_cast<char>(list.size()), 0, 0, 0} + list;
    bytes += std::string("id3 \x05\0\0\0\x7F\x7F\x7F\x7F\x7F", 13);  // odd, unpadded at the very end
    WriteBytes(dir / "streamed.wav", bytes);
    const std::string message = RepairAudioFile(dir / "streamed.wav");
    EXPECT_EQ(message.rfind(".", 0), 0u) << message;
    EXPECT_NE(message.find(" frames (1.00 seconds) that were there"), std::string::npos) << message;
    EXPECT_NE(message.find("holds the 44,"), std::string::npos) << "the repaired file's frames, not the source's";
    const DecodedSound repaired = ReadSound(dir / "streamed.wav");
    EXPECT_EQ(repaired.rate, 44100);
    EXPECT_NEAR(repaired.Frames(), 44100, 2) << "the chunks' 45 bytes would add frames of noise";
}

// Ten seconds of a tone with noise: an Ogg stream of many pages.
std::string NoisyOgg(const std::string& path) {
    SF_INFO info{};
    info.samplerate = 44100;
    info.channels = 1;
    info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return {};
    std::vector<float> samples(441000);
    std::uint32_t noise = 12345;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        noise = noise * 1664525u + 1013904223u;
        samples[i] = static_cast<float>(0.4 * std::sin(2.0 * M_PI * 440.0 * static_cast<double>(i) / 44100.0) +
                                        0.2 * (static_cast<double>(noise >> 8) / (1 << 24) - 0.5));
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return ReadBytes(path);
}

// A damaged Ogg stream decodes only in part: the repair is refused, names the seconds it would lose,
// and the source stays as it was with nothing beside it. Info gives the length that decodes.
TEST(AudioRepair, ADamagedOggIsRefusedAndKept) {
    TempDir dir;
    const std::string whole = NoisyOgg(dir / "whole.ogg");
    ASSERT_GT(whole.size(), 40000u);
    std::string hole = whole;  // 4 KB of zeros at 90 %
    std::fill_n(hole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 9 / 10 - 4096), 4096, '\0');
    std::string flipped = whole;  // a few bytes flipped at 80 %
    for (std::size_t at = whole.size() * 8 / 10; at < whole.size() * 8 / 10 + 64; at += 8) flipped[at] ^= '\xFF';
    const std::string half = whole.substr(0, whole.size() / 2);
    struct Case {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {{"hole.ogg", hole, "seconds do not decode"},
                 {"flipped.ogg", flipped, "seconds do not decode"},
                 {"half.ogg", half, "what follows does not decode"}};
    for (const Case& c : cases) {
        WriteBytes(dir / c.name, c.bytes);
        const std::string message = RepairAudioFile(dir / c.name);
        EXPECT_EQ(message.rfind("Cannot repair " + dir / c.name + ": its sound data is damaged", 0), 0u) << message;
        EXPECT_NE(message.find(c.says), std::string::npos) << message;
        EXPECT_NE(message.find("The file is kept as it is."), std::string::npos) << message;
        EXPECT_TRUE(ReadBytes(dir / c.name) == c.bytes) << c.name;
        EXPECT_FALSE(FileExists(ChangeFileExt(dir / c.name, ".wav"))) << c.name;
    }
    // Half the stream plays about five seconds; Info says so rather than nothing.
    const std::string info = ShowAudioInfo(dir / "half.ogg");
    const std::size_t at = info.find("Duration:        ");
    ASSERT_NE(at, std::string::npos) << info;
    const double seconds = std::stod(info.substr(at + 17));
    EXPECT_GT(seconds, 3.0) << info;
    EXPECT_LT(seconds, 6.0) << info;
    // The whole stream still repairs into a WAVE file and goes.
    EXPECT_EQ(RepairAudioFile(dir / "whole.ogg"), "");
    EXPECT_FALSE(FileExists(dir / "whole.ogg"));
    EXPECT_EQ(ReadSound(dir / "whole.wav").Frames(), 441000);
}

}  // namespace
}  // namespace kelvarn
