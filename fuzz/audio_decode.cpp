// The sound readers on any bytes: the first byte picks the extension, the rest is the file. Probe,
// information, a full decode and a repair into a scratch folder must fail cleanly or succeed.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzFolder.h"
#include "media/AudioFile.h"
#include "shell/Files.h"

// libsndfile 1.2.0 leaks the Vorbis header state of an Ogg file whose headers it rejects: not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:vorbis_info_init\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvarn;
    if (size < 1) return 0;
    // The run's own folder, emptied after each input and removed when the run ends.
    static const std::filesystem::path& folder = fuzz::Folder("audio", "in.wav", "");
    static const char* const extensions[] = {".wav", ".ogg", ".mp3", ".mp2"};
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (std::string("in") + extensions[data[0] % 4])).string();
    if (!WriteFileAtomic(path, std::string(reinterpret_cast<const char*>(data + 1), size - 1)).empty()) std::abort();

    const AudioInfo info = ProbeAudio(path);
    const std::string text = ShowAudioInfo(path);
    if (text.empty()) std::abort();
    TAudioDecoder decoder;
    if (decoder.Open(path).empty()) {
        std::vector<std::int16_t> buffer(static_cast<std::size_t>(1024 * decoder.Channels()));
        std::int64_t total = 0, got;
        while ((got = decoder.Read(buffer.data(), 1024)) > 0) total += got;
        if (info.error.empty() && total < 0) std::abort();
    }
    decoder.Close();
    const std::string before = std::string(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string error = RepairAudioFile(path);
    // A failed repair leaves the source exactly as it was (a text beginning "." is a repair that
    // succeeded with a notice).
    if (!error.empty() && error[0] != '.') {
        std::string now;
        if (!ReadFileBytes(path, now).empty() || now != before) std::abort();
    }
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) std::filesystem::remove(entry.path(), ec);
    return 0;
}
