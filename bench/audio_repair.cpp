// RepairAudioFile on a 60 s 48 kHz stereo WAVE file against a one-shot reference: the whole sound read
// at once, src_simple with the same converter, the result written with libsndfile. Both runs start by
// putting the same source in place. Prints the ratio (ours / reference).
#include <samplerate.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "MediaBenchSupport.h"
#include "media/AudioFile.h"

using namespace kelvarn;
namespace fs = std::filesystem;

int main() {
    const fs::path folder = fs::temp_directory_path() / "kelvarn_bench_audio_repair";
    fs::create_directories(folder);
    const std::string original = (folder / "original.wav").string();
    const std::string work = (folder / "work.wav").string();
    const std::string reference = (folder / "reference.wav").string();
    constexpr int kRate = 48000, kChannels = 2, kSeconds = 60;
    {
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = kChannels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(original.c_str(), SFM_WRITE, &info);
        std::vector<float> samples(static_cast<std::size_t>(kRate) * kSeconds * kChannels);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 440.0 * static_cast<double>(i / kChannels) / kRate));
        sf_writef_float(f, samples.data(), static_cast<sf_count_t>(kRate) * kSeconds);
        sf_close(f);
    }
    auto place = [&] { fs::copy_file(original, work, fs::copy_options::overwrite_existing); };

    const double ours = bench::BestSeconds([&] {
        place();
        if (!RepairAudioFile(work).empty()) std::abort();
    }, 3, 2.0);
    const double theirs = bench::BestSeconds([&] {
        place();
        SF_INFO in{};
        SNDFILE* f = sf_open(work.c_str(), SFM_READ, &in);
        std::vector<float> samples(static_cast<std::size_t>(in.frames * in.channels));
        sf_readf_float(f, samples.data(), in.frames);
        sf_close(f);
        const double ratio = 44100.0 / in.samplerate;
        std::vector<float> out(static_cast<std::size_t>(static_cast<double>(in.frames) * ratio + 64) * in.channels);
        SRC_DATA data{};
        data.data_in = samples.data();
        data.input_frames = static_cast<long>(in.frames);
        data.data_out = out.data();
        data.output_frames = static_cast<long>(out.size() / in.channels);
        data.src_ratio = ratio;
        if (src_simple(&data, SRC_SINC_MEDIUM_QUALITY, in.channels) != 0) std::abort();
        std::vector<short> pcm(static_cast<std::size_t>(data.output_frames_gen * in.channels));
        src_float_to_short_array(out.data(), pcm.data(), static_cast<int>(pcm.size()));
        SF_INFO outInfo{};
        outInfo.samplerate = 44100;
        outInfo.channels = in.channels;
        outInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* o = sf_open(reference.c_str(), SFM_WRITE, &outInfo);
        sf_writef_short(o, pcm.data(), data.output_frames_gen);
        sf_close(o);
    }, 3, 2.0);
    std::printf("repair 60 s 48 kHz stereo: ours %7.1f ms  one-shot reference %7.1f ms  ratio %.2f (at most 1.3)\n",
                ours * 1e3, theirs * 1e3, ours / theirs);
    fs::remove_all(folder);
    return 0;
}
