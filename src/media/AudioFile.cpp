#include "media/AudioFile.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/Text.h"

namespace kelvarn {

namespace {

constexpr int kMaxChannels = 64;
// No sound is sampled outside these; a header that says otherwise is damaged.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 1000000;
constexpr sf_count_t kChunkFrames = 4096;

std::string LastStreamError(SNDFILE* file) {
    return StreamErrorText(sf_error(file), sf_strerror(file));
}

struct SndFile {
    SNDFILE* file = nullptr;
    SF_INFO info{};
    ~SndFile() { Close(); }
    void Close() {
        if (file) sf_close(file);
        file = nullptr;
    }
    // Empty on success, else the stream error text.
    std::string Open(const std::string& path) {
        Close();
        info = SF_INFO{};
        file = sf_open(NativePath(path).c_str(), SFM_READ, &info);
        if (!file) return LastStreamError(nullptr);
        if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < kMinRate || info.samplerate > kMaxRate) {
            Close();
            return StreamErrorText(SF_ERR_UNRECOGNISED_FORMAT, "unsupported channel count or sample rate");
        }
        // Floating-point files are scaled, not clipped, when read as integers.
        sf_command(file, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_TRUE);
        return {};
    }
    std::int64_t KnownFrames() const {
        return info.frames > 0 && info.frames < SF_COUNT_MAX ? info.frames : 0;
    }
};

std::string FixedTwo(double value) {
    std::array<char, 64> buffer{};
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    if (ec != std::errc()) return "0.00";
    return std::string(buffer.data(), end);
}

std::string LowerExtension(const std::string& name) {
    std::string ext = ExtractFileExt(name);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool IsAudioExtension(const std::string& name) {
    const std::string ext = LowerExtension(name);
    if (ext.size() < 2) return false;
    std::string_view list = kAudioExtensions;
    while (!list.empty()) {
        const std::size_t next = list.find('.', 1);
        const std::string_view one = list.substr(0, next);
        if (one == ext) return true;
        if (next == std::string_view::npos) break;
        list.remove_prefix(next);
    }
    return false;
}

// libsndfile's virtual I/O over a growing byte buffer: the repaired WAVE file is built in memory and
// then written atomically.
struct MemoryFile {
    std::string bytes;
    sf_count_t position = 0;
    static sf_count_t Length(void* self) { return static_cast<sf_count_t>(static_cast<MemoryFile*>(self)->bytes.size()); }
    static sf_count_t Seek(sf_count_t offset, int whence, void* self) {
        auto* m = static_cast<MemoryFile*>(self);
        sf_count_t base = 0;
        if (whence == SEEK_CUR) base = m->position;
        else if (whence == SEEK_END) base = static_cast<sf_count_t>(m->bytes.size());
        const sf_count_t target = base + offset;
        if (target < 0) return -1;
        m->position = target;
        return target;
    }
    static sf_count_t Read(void* ptr, sf_count_t count, void* self) {
        auto* m = static_cast<MemoryFile*>(self);
        const auto size = static_cast<sf_count_t>(m->bytes.size());
        if (m->position >= size || count <= 0) return 0;
        const sf_count_t n = std::min(count, size - m->position);
        std::memcpy(ptr, m->bytes.data() + m->position, static_cast<std::size_t>(n));
        m->position += n;
        return n;
    }
    static sf_count_t Write(const void* ptr, sf_count_t count, void* self) {
        auto* m = static_cast<MemoryFile*>(self);
        if (count <= 0) return 0;
        const auto end = static_cast<std::size_t>(m->position + count);
        if (end > kMaxFileRead) return 0;
        if (m->bytes.size() < end) m->bytes.resize(end);
        std::memcpy(m->bytes.data() + m->position, ptr, static_cast<std::size_t>(count));
        m->position += count;
        return count;
    }
    static sf_count_t Tell(void* self) { return static_cast<MemoryFile*>(self)->position; }
};

// Does a line of libsndfile's log of the file pass `test`?
template <typename Test>
bool LogHas(SNDFILE* file, Test test) {
    std::string log(16384, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    log.resize(std::strlen(log.c_str()));
    for (std::size_t at = 0; at < log.size();) {
        const std::size_t end = std::min(log.find('\n', at), log.size());
        if (test(std::string_view(log.data() + at, end - at))) return true;
        at = end + 1;
    }
    return false;
}

// libsndfile reads a WAVE file whose data chunk runs past the end of the file, shortening it silently;
// its log then notes the size the chunk "should be".
bool DataCutShort(SNDFILE* file) {
    return LogHas(file, [](std::string_view line) {
        return line.rfind("data :", 0) == 0 && line.find("should be") != std::string_view::npos;
    });
}

// An Ogg stream with a damaged or missing page: libsndfile skips to the next page it can read, or
// stops, and says so only in its log. A stream cut off inside a page has no known end either; one
// that only lacks the end-of-stream flag (libsndfile writes such files) is whole.
bool OggPagesLost(SNDFILE* file, bool endKnown) {
    return LogHas(file, [endKnown](std::string_view line) {
        return line.rfind("Ogg :", 0) == 0 &&
               (line.find("Skipped") != std::string_view::npos || line.find("hole") != std::string_view::npos ||
                (!endKnown && line.find("ended unexpectedly") != std::string_view::npos));
    });
}

std::uint32_t U32At(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}

// Do RIFF chunks from `at` on end the file exactly? Their names are letters, digits and blanks.
bool ChunksEndFile(std::string_view b, std::size_t at) {
    for (int chunks = 0; chunks < 64; ++chunks) {
        if (at + 8 > b.size()) return false;
        for (std::size_t i = at; i < at + 4; ++i) {
            const char c = b[i];
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ')) return false;
        }
        const std::uint64_t size = U32At(b, at + 4);
        const std::uint64_t end = at + 8 + size;
        if (end == b.size() || (size % 2 == 1 && end + 1 == b.size())) return true;
        if (end + size % 2 > b.size()) return false;
        at = static_cast<std::size_t>(end + size % 2);
    }
    return false;
}

// The frames of a WAVE file whose data chunk gives no true size (a streamed file writes 0 or
// 0xFFFFFFFF there, a cut-off one more than is left): the sound runs up to the chunks that end the
// file, when some do, else to the end of the file. -1 for any other file.
std::int64_t StreamedWaveFrames(std::string_view b) {
    if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") return -1;
    std::uint32_t blockAlign = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string_view id = b.substr(at, 4);
        const std::uint64_t size = U32At(b, at + 4);
        const std::size_t body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= b.size()) {
            const std::uint32_t tag = U32At(b, body) & 0xFFFF;
            // Formats whose frames all take the block's bytes; compressed ones are left to the library.
            if (tag == 1 || tag == 3 || tag == 6 || tag == 7 || tag == 0xFFFE) blockAlign = U32At(b, body + 12) & 0xFFFF;
        } else if (id == "data") {
            if (blockAlign == 0) return -1;
            if (size != 0 && size != 0xFFFFFFFFu && body + size <= b.size()) return -1;
            std::size_t end = b.size();
            for (std::size_t next = body; next + 8 <= b.size(); next += 2)
                if (ChunksEndFile(b, next)) {
                    end = next;
                    break;
                }
            return static_cast<std::int64_t>((end - body) / blockAlign);
        }
        at = static_cast<std::size_t>(body + size + size % 2);
    }
    return -1;
}

// Frames of a stream whose header does not tell them, by decoding it.
std::int64_t CountFrames(SNDFILE* file, int channels) {
    std::vector<float> buffer(static_cast<std::size_t>(kChunkFrames * channels));
    std::int64_t frames = 0;
    sf_count_t got;
    while ((got = sf_readf_float(file, buffer.data(), kChunkFrames)) > 0) frames += got;
    return frames;
}

std::string ExistingIgnoringCase(const std::string& path) {
    if (FileExists(path)) return path;
    return FindFileIgnoreCase(ExtractFileDir(path), ExtractFileName(path));
}

// Places the repaired bytes: over a ".wav" source, else as "<base>.wav" beside it (never replacing)
// with the source deleted after.
std::string PlaceRepaired(const std::string& path, const std::string& bytes) {
    if (LowerExtension(path) == ".wav") return WriteFileAtomic(path, bytes);
    const std::string target = ChangeFileExt(path, ".wav");
    if (const std::string existing = ExistingIgnoringCase(target); !existing.empty())
        return "Cannot repair " + path + ": " + existing + " already exists";
    const std::string temporary = target + ".kvpart";
    if (std::string error = WriteFileAtomic(temporary, bytes); !error.empty()) {
        DeleteFilePath(temporary);
        return error;
    }
    if (std::string error = RenameNoReplace(temporary, target); !error.empty()) {
        DeleteFilePath(temporary);
        return error;
    }
    if (!DeleteFilePath(path)) return "Repaired into " + target + " but could not delete " + path;
    return {};
}

}  // namespace

std::string StreamErrorText(int number, std::string_view description) {
    std::string text = "Cannot Create Audio Stream: " + std::to_string(number);
    if (!description.empty()) text += " (" + std::string(description) + ")";
    return text;
}

std::string AudioFormatName(int formatCode) {
    const int major = formatCode & SF_FORMAT_TYPEMASK;
    const int sub = formatCode & SF_FORMAT_SUBMASK;
    if (major == SF_FORMAT_OGG) return "Ogg Vorbis";
    if (major == SF_FORMAT_MPEG) {
        if (sub == SF_FORMAT_MPEG_LAYER_I) return "MPEG layer 1";
        if (sub == SF_FORMAT_MPEG_LAYER_II) return "MPEG layer 2";
        if (sub == SF_FORMAT_MPEG_LAYER_III) return "MPEG layer 3";
    }
    if (major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX) {
        switch (sub) {
            case SF_FORMAT_PCM_U8:
            case SF_FORMAT_PCM_S8:
            case SF_FORMAT_PCM_16:
            case SF_FORMAT_PCM_24:
            case SF_FORMAT_PCM_32: return "Integer PCM WAVE";
            case SF_FORMAT_MS_ADPCM: return "Microsoft ADPCM";
            case SF_FORMAT_FLOAT:
            case SF_FORMAT_DOUBLE: return "Floating-point PCM WAVE";
            case SF_FORMAT_ALAW: return "ITU G.711 a-law";
            case SF_FORMAT_ULAW: return "ITU G.711 Au-law";
            default: return "WAVE format";
        }
    }
    return "(" + std::to_string(formatCode) + ") not recognised";
}

AudioInfo ProbeAudio(const std::string& path) {
    AudioInfo info;
    std::error_code ec;
    const auto size = std::filesystem::file_size(FsPath(path), ec);
    info.fileSize = ec ? -1 : static_cast<std::int64_t>(size);
    SndFile file;
    if (std::string error = file.Open(path); !error.empty()) {
        info.error = std::move(error);
        return info;
    }
    info.formatCode = file.info.format;
    info.formatName = AudioFormatName(file.info.format);
    info.channels = file.info.channels;
    info.sampleRate = file.info.samplerate;
    info.frames = file.KnownFrames();
    // A cut-off stream whose end the header does not give lasts as long as it decodes.
    if (info.frames == 0) info.frames = CountFrames(file.file, file.info.channels);
    const int sub = file.info.format & SF_FORMAT_SUBMASK;
    if (sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE) info.bits = "32 bit floating point";
    else if (sub == SF_FORMAT_PCM_U8 || sub == SF_FORMAT_PCM_S8) info.bits = "8";
    else info.bits = "16";
    return info;
}

std::string ShowAudioInfo(const std::string& path) {
    const AudioInfo info = ProbeAudio(path);
    if (!info.error.empty()) return info.error;
    std::string text;
    auto line = [&text](std::string_view label, const std::string& value) {
        text += "\r\n";
        text += label;
        text += value;
    };
    line(" Filename:        ", "\t" + ExtractFileName(path));
    line(" Format:          ", info.formatName);
    line(" Channels:        ", std::to_string(info.channels));
    line(" Sample Rate:     ", std::to_string(info.sampleRate));
    line(" Bits per Sample: ", info.bits);
    line(" File Size:       ", GroupThousands(info.fileSize) + " bytes");
    line(" Duration:        ", FixedTwo(info.Duration()) + " seconds");
    return text;
}

std::vector<std::string> ListAudioFiles(const std::string& assetFolder) {
    std::vector<std::string> found;
    if (assetFolder.empty()) return found;
    FindFilesRecursive(JoinPath(assetFolder, "*.*"), "*.*", found);
    const std::string prefix = NativePath(IncludeTrailingSeparator(assetFolder));
    std::vector<std::string> result;
    for (const std::string& full : found) {
        if (!IsAudioExtension(ExtractFileName(full))) continue;
        std::string relative = full.compare(0, prefix.size(), prefix) == 0 ? full.substr(prefix.size()) : full;
        std::replace(relative.begin(), relative.end(), '/', '\\');
        result.push_back(std::move(relative));
    }
    return result;
}

std::string GroupThousands(std::int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<std::size_t>(i), ",");
    return value < 0 ? "-" + digits : digits;
}

int ProgressPercent(std::int64_t position, std::int64_t length) {
    if (length <= 0 || position <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(100, position * 100 / length));
}

int RepairedRate(int sourceRate) {
    if (sourceRate >= 44100) return 44100;
    if (sourceRate >= 22050) return 22050;
    return 11025;
}

bool IsPlainTagName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name)
        if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '{' || c == '}' || c == '\\' || c == 0x7F) return false;
    return true;
}

std::string DurationTagValue(double seconds) { return "\"" + FixedTwo(seconds) + "\""; }

struct TAudioDecoder::Impl {
    SndFile file;
};

TAudioDecoder::TAudioDecoder() : impl_(std::make_unique<Impl>()) {}
TAudioDecoder::~TAudioDecoder() = default;

std::string TAudioDecoder::Open(const std::string& path) {
    position_ = 0;
    return impl_->file.Open(path);
}

bool TAudioDecoder::IsOpen() const { return impl_->file.file != nullptr; }
int TAudioDecoder::Channels() const { return IsOpen() ? impl_->file.info.channels : 0; }
int TAudioDecoder::SampleRate() const { return IsOpen() ? impl_->file.info.samplerate : 0; }
std::int64_t TAudioDecoder::Frames() const { return IsOpen() ? impl_->file.KnownFrames() : 0; }

std::int64_t TAudioDecoder::Read(std::int16_t* out, std::int64_t frames) {
    if (!IsOpen() || frames <= 0) return 0;
    const sf_count_t got = sf_readf_short(impl_->file.file, out, frames);
    if (got <= 0) return 0;
    position_ += got;
    return got;
}

void TAudioDecoder::Close() {
    impl_->file.Close();
    position_ = 0;
}

std::string RepairAudioFile(const std::string& path, const RepairProgress& progress) {
    if (!FileExists(path)) return "File not found: " + path;
    SndFile source;
    if (std::string error = source.Open(path); !error.empty()) return error + ": " + path;
    const int channels = source.info.channels;
    const int inRate = source.info.samplerate;
    const int outRate = RepairedRate(inRate);
    std::int64_t length = source.KnownFrames();
    const bool ogg = (source.info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_OGG;
    // A streamed or cut-off WAVE file plays as far as its data goes; the repair keeps that much and
    // says so. A chunk after the data of a streamed file is no sound.
    bool shortened = DataCutShort(source.file);
    std::int64_t limit = -1;
    if (shortened) {
        std::string bytes;
        if (ReadFileBytes(path, bytes).empty()) limit = StreamedWaveFrames(bytes);
        if (limit >= 0) length = limit;
    }

    MemoryFile memory;
    SF_VIRTUAL_IO io{MemoryFile::Length, MemoryFile::Seek, MemoryFile::Read, MemoryFile::Write, MemoryFile::Tell};
    SF_INFO outInfo{};
    outInfo.samplerate = outRate;
    outInfo.channels = channels;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open_virtual(&io, SFM_WRITE, &outInfo, &memory);
    if (!out) return LastStreamError(nullptr);
    struct OutCloser {
        SNDFILE*& f;
        ~OutCloser() { if (f) sf_close(f); }
    } outCloser{out};

    int srcError = 0;
    SRC_STATE* converter = inRate == outRate ? nullptr : src_new(SRC_SINC_MEDIUM_QUALITY, channels, &srcError);
    if (inRate != outRate && !converter) return "Cannot resample " + path + ": " + src_strerror(srcError);
    struct SrcCloser {
        SRC_STATE* s;
        ~SrcCloser() { if (s) src_delete(s); }
    } srcCloser{converter};
    const double ratio = static_cast<double>(outRate) / inRate;

    // Upsampling reads smaller chunks, so the output buffer stays the same size.
    const sf_count_t chunkFrames = ratio > 1 ? std::max<sf_count_t>(256, static_cast<sf_count_t>(kChunkFrames / ratio)) : kChunkFrames;
    std::vector<float> input(static_cast<std::size_t>(chunkFrames * channels));
    const auto outCapacity = static_cast<long>(static_cast<double>(chunkFrames) * ratio) + 16;
    std::vector<float> output(static_cast<std::size_t>(outCapacity * channels));
    std::vector<short> pcm(output.size());
    std::int64_t read = 0;
    std::int64_t written = 0;
    std::string writeError;
    auto writeFrames = [&](const float* samples, long frames) {
        if (frames <= 0) return;
        src_float_to_short_array(samples, pcm.data(), static_cast<int>(frames * channels));
        if (sf_writef_short(out, pcm.data(), frames) != frames) writeError = "The repaired sound is too large: " + path;
        written += frames;
    };

    bool ended = false;
    while (!ended && writeError.empty()) {
        const sf_count_t want = limit < 0 ? chunkFrames : std::min<sf_count_t>(chunkFrames, limit - read);
        const sf_count_t got = want > 0 ? sf_readf_float(source.file, input.data(), want) : 0;
        if (got < 0) break;
        read += got;
        ended = got < chunkFrames;
        if (!converter) {
            writeFrames(input.data(), static_cast<long>(got));
        } else {
            SRC_DATA data{};
            data.data_in = input.data();
            data.input_frames = static_cast<long>(got);
            data.src_ratio = ratio;
            data.end_of_input = ended ? 1 : 0;
            // At the end the converter is drained until it has nothing more to give.
            for (;;) {
                data.data_out = output.data();
                data.output_frames = outCapacity;
                if (int e = src_process(converter, &data); e != 0) return "Cannot resample " + path + ": " + src_strerror(e);
                writeFrames(output.data(), data.output_frames_gen);
                data.data_in += data.input_frames_used * channels;
                data.input_frames -= data.input_frames_used;
                if (data.input_frames > 0) {
                    // A converter that takes nothing and gives nothing would spin for ever.
                    if (data.input_frames_used == 0 && data.output_frames_gen == 0) return "Cannot resample " + path;
                    continue;
                }
                if (!ended || data.output_frames_gen == 0) break;
            }
        }
        if (progress && !progress(read, length)) return "Repair cancelled: " + path;
    }
    if (!writeError.empty()) return writeError;
    if (written == 0) {
        if (sf_error(source.file) != SF_ERR_NO_ERROR) return LastStreamError(source.file) + ": " + path;
        return "Cannot repair " + path + ": it holds no sound";
    }
    // A stream that stops decoding part way holds sound the repair would lose: the source stays.
    if (sf_error(source.file) != SF_ERR_NO_ERROR || (ogg && (OggPagesLost(source.file, length > 0) || read < length))) {
        const std::string kept = ". The file is kept as it is.";
        if (length > read)
            return "Cannot repair " + path + ": its sound data is damaged, and " +
                   FixedTwo(static_cast<double>(length - read) / inRate) + " of its " +
                   FixedTwo(static_cast<double>(length) / inRate) + " seconds do not decode" + kept;
        return "Cannot repair " + path + ": its sound data is damaged after " +
               FixedTwo(static_cast<double>(read) / inRate) + " seconds, and what follows does not decode" + kept;
    }
    shortened = shortened || (length > 0 && read < length);
    sf_close(out);
    out = nullptr;
    source.Close();
    if (std::string placed = PlaceRepaired(path, memory.bytes); !placed.empty()) return placed;
    if (!shortened) return {};
    return ".The sound in " + path + " was shorter than its header said: the repaired file holds the " +
           GroupThousands(written) + " frames (" + FixedTwo(static_cast<double>(written) / outRate) +
           " seconds) that were there";
}

}  // namespace kelvarn
