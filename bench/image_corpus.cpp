// Decodes every ".bmp", ".tga", ".jpg" (or ".jpeg") and ".texture" below a folder with our readers (TGA with
// both, JPEG checked against libjpeg-turbo) and reports each failure with its code and message,
// the refusals the formats require (run-length TGA in the strict reader, progressive JPEG, compressed
// BMP, texture formats we do not take) apart, and per-format counts and speed. With --damaged it runs
// damaged variants of every picture instead (made in a temp folder): a cut file or a header claiming
// more than the file holds that still loads is a fault.
#include <chrono>
#include <filesystem>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "DamagedVariants.h"
#include "MediaBenchSupport.h"
#include "media/BmpCodec.h"
#include "media/JpegCodec.h"
#include "media/JpegDec.h"
#include "media/TextureFile.h"
#include "media/Textures.h"
#include "media/TgaCodec.h"
#include "shell/Files.h"
#include "shell/FirstMessageSink.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"

using namespace kelvarn;

namespace {

// Warned: loaded, with a warning shown to the user. Our readers fail damaged data instead, so it
// stays 0 unless one of them starts to warn.
enum class Outcome { Ok, Warned, Refused, Failed };

struct Stats {
    int files = 0, ok = 0, warned = 0, refused = 0, failed = 0;
    double bytes = 0, pixels = 0, seconds = 0;
};

Outcome Decode(const std::string& ext, ByteSpan data, double& pixels, std::string& why, bool damaged) {
    if (ext == ".bmp") {
        const BmpResult r = DecodeBmp(data);
        pixels = static_cast<double>(r.image.Width) * r.image.Height;
        if (r.fault == BmpFault::None) return Outcome::Ok;
        return r.fault == BmpFault::Unsupported ? Outcome::Refused : Outcome::Failed;
    }
    if (ext == ".tga") {
        const TgaResult strict = DecodeTgaStrict(data);
        const TgaFullResult full = DecodeTgaFull(data);
        pixels = static_cast<double>(full.image.Width) * full.image.Height;
        if (full.fault != TgaFault::None) {
            why = "full reader refuses it too";
            return Outcome::Failed;
        }
        if (strict.fault == TgaFault::None) {
            if (RawToImage32(strict.image).Pixels != full.image.Pixels && strict.depth != 16) {
                why = "the two readers differ";
                return Outcome::Failed;
            }
            return Outcome::Ok;
        }
        const bool required = strict.fault == TgaFault::RunLength || strict.fault == TgaFault::BadType ||
                              strict.fault == TgaFault::Unsupported || strict.fault == TgaFault::BadDepth;
        return required ? Outcome::Refused : Outcome::Failed;
    }
    if (ext == ".jpg" && damaged) {
        // What every view does with the file: a file our decoder leaves to the library is shown too.
        Image32 picture;
        const bool loads = DecodeJpegPicture(data, picture);
        pixels = static_cast<double>(picture.Width) * picture.Height;
        return loads ? Outcome::Ok : Outcome::Failed;
    }
    if (ext == ".jpg") {
        std::unique_ptr<TJpegImage> img;
        const std::uint8_t status = DecodeJpeg(data, img);
        Image32 reference;
        const bool turbo = DecodeJpegWithLibrary(data, reference);
        pixels = static_cast<double>(reference.Width) * reference.Height;
        if (status == kJpegDecoded) {
            const int diff = turbo ? bench::MaxDifference(JpegImageToBitmap(img.get()), reference) : 0;
            if (diff > 3) {
                why = "differs from libjpeg-turbo by " + std::to_string(diff);
                return Outcome::Failed;
            }
            return Outcome::Ok;
        }
        why = "decoder status " + std::to_string(status);
        return status == kJpegUnsupported && turbo ? Outcome::Refused : Outcome::Failed;
    }
    const TextureResult r = DecodeTexture(data);
    pixels = static_cast<double>(r.image.Width) * r.image.Height;
    switch (r.fault) {
    case TextureFault::None:
        return Outcome::Ok;
    case TextureFault::CompactRefused:
    case TextureFault::MipSkip:
    case TextureFault::TextureType:
    case TextureFault::Cubes:
    case TextureFault::Slices:
    case TextureFault::PixelFormat:
        return Outcome::Refused;
    case TextureFault::DxtFailed:
        if (r.info.width > 4096) return Outcome::Refused;  // wider than the block decoders take
        return Outcome::Failed;
    default:
        return Outcome::Failed;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder;
    bool damaged = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--damaged") damaged = true;
        else if (arg.rfind("--", 0) != 0) folder = arg;
    }
    if (folder.empty()) {
        std::printf("usage: image_corpus [--damaged] FOLDER\n");
        std::printf("image_corpus: files=0 ok=0 warned=0 failed=0 MBps=0.0\n");
        return 0;
    }
    if (!DirectoryExists(folder)) {
        std::printf("image_corpus: no folder %s\n", folder.c_str());
        return 77;
    }
    std::vector<std::string> files;
    FindFiles(folder + "\\*.*", "*.bmp;*.tga;*.jpg;*.jpeg;*.texture", files, true);

    TProgramState state;
    FirstMessageSink sink;  // the library's first message for a file, for the failure lines
    state.Messages = &sink;
    TTextures library(state);
    std::map<std::string, Stats> byFormat;
    Stats all;
    int faults = 0;
    const std::filesystem::path temp =
        std::filesystem::temp_directory_path() / ("image_corpus-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    struct Job {
        std::string path, ext, what;
        bool mustFail = false;
    };
    std::vector<Job> jobs;
    for (const std::string& path : files) {
        std::string ext = LowerCase(ExtractFileExt(path));
        if (ext == ".jpeg") ext = ".jpg";
        if (!damaged) {
            jobs.push_back({path, ext, {}, false});
            continue;
        }
        std::string bytes;
        if (!ReadFileBytes(path, bytes).empty() || bytes.empty()) continue;
        std::filesystem::create_directories(temp);
        int n = 0;
        for (const bench::DamagedVariant& v : bench::DamagedVariants(bytes, ext)) {
            const std::string target = (temp / ("v" + std::to_string(jobs.size()) + "-" + std::to_string(n++) + ext)).string();
            if (WriteFileAtomic(target, v.bytes).empty()) jobs.push_back({target, ext, path + ", " + v.name, v.mustFail});
        }
    }
    for (const Job& job : jobs) {
        const std::string& path = job.path;
        const std::string& ext = job.ext;
        std::string bytes;
        if (!ReadFileBytes(path, bytes).empty()) continue;
        Stats& st = byFormat[ext];
        double pixels = 0;
        std::string why;
        const auto start = std::chrono::steady_clock::now();
        const Outcome outcome = Decode(ext, AsBytes(bytes), pixels, why, damaged);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        for (Stats* s : {&st, &all}) {
            ++s->files;
            s->bytes += static_cast<double>(bytes.size());
            s->pixels += pixels;
            s->seconds += seconds;
            if (outcome == Outcome::Ok) ++s->ok;
            else if (outcome == Outcome::Warned) ++s->warned;
            else if (outcome == Outcome::Refused) ++s->refused;
            else ++s->failed;
        }
        if (damaged) {
            if (job.mustFail && (outcome == Outcome::Ok || outcome == Outcome::Warned)) {
                ++faults;
                std::printf("FAULT %s: loads\n", job.what.c_str());
            }
            continue;
        }
        if (outcome == Outcome::Failed) {
            sink.Text.clear();
            library.ImageError = 0;
            library.LoadImageFile(path);
            std::printf("FAILED %s: code %d, %s%s%s\n", path.c_str(), library.ImageError,
                        sink.Text.empty() ? "no message" : sink.Text.c_str(), why.empty() ? "" : "; ", why.c_str());
        }
    }
    for (const auto& [ext, s] : byFormat)
        std::printf("%-9s files=%d ok=%d warned=%d refused=%d failed=%d  %.1f MB/s  %.1f Mpixel/s\n", ext.c_str(), s.files,
                    s.ok, s.warned, s.refused, s.failed, s.seconds > 0 ? s.bytes / 1e6 / s.seconds : 0.0,
                    s.seconds > 0 ? s.pixels / 1e6 / s.seconds : 0.0);
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
    const double mbps = all.seconds > 0 ? all.bytes / 1e6 / all.seconds : 0.0;
    if (damaged) {
        // Refusals are failures here: every variant is damaged.
        std::printf("image_corpus: files=%d ok=%d warned=%d failed=%d MBps=%.1f\n", all.files, all.ok, all.warned,
                    all.failed + all.refused, mbps);
        return faults > 0 ? 1 : 0;
    }
    std::printf("image_corpus: files=%d ok=%d warned=%d failed=%d refused=%d MBps=%.1f\n", all.files, all.ok, all.warned,
                all.failed, all.refused, mbps);
    return all.failed > 0 ? 1 : 0;
}
