// A temporary asset for the texture repair tests: its files, its config outline, and a program state
// whose backups, clock and questions the tests control.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ImageBuilders.h"
#include "catalogue/OutlineDocument.h"
#include "shell/Files.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"
#include "validation/TextureRepair.h"

namespace kelvarn::test {

struct RepairBed {
    TempDir dir;
    TProgramState state;
    RecordingMessageSink messages;
    RecordingCommandBus bus;
    FakeClock clock;
    TOutlineDocument doc{state};
    std::string asset;

    RepairBed() {
        state.ProgramFolder = dir.Path() + "/program/";
        state.Messages = &messages;
        state.CommandTarget = &bus;
        state.Clock = &clock;
        clock.Set(2011, 3, 4, 5, 6, 7);
        asset = dir / "asset";
        WriteBytes(asset + "/config.txt", "kind \"scenery\"\r\n");
    }
    ~RepairBed() { SetWriteFaultHook(nullptr); }

    void File(std::string_view name, std::string_view bytes) { WriteBytes(asset + "/" + std::string(name), bytes); }
    std::string Bytes(std::string_view name) const { return ReadBytes(asset + "/" + std::string(name)); }
    bool Has(std::string_view name) const { return FileExists(asset + "/" + std::string(name)); }
    std::string Full(std::string_view name) const { return NativePath(asset + "\\" + ReplaceSlashes(name)); }
    static std::string ReplaceSlashes(std::string_view name) {
        std::string s(name);
        for (char& c : s)
            if (c == '/') c = '\\';
        return s;
    }

    void Config(std::string_view text) {
        File("config.txt", text);
        ASSERT_EQ(doc.LoadConfig(asset), "");
    }

    std::string Run(std::string_view mode, bool reportOnly = false, bool scriptMode = false) {
        if (doc.Empty()) {
            EXPECT_EQ(doc.LoadConfig(asset), "");
        }
        TTextureRepairContext context{state, &doc, asset, scriptMode, reportOnly, {}};
        return RepairTextures(context, mode);
    }

    // Every file below a folder with its bytes, for "nothing changed" checks.
    static std::map<std::string, std::string> Snapshot(const std::string& folder) {
        std::vector<std::string> files;
        FindFilesRecursive(folder + "/*.*", "*.*", files);
        std::map<std::string, std::string> result;
        for (const std::string& f : files) result[f] = ReadBytes(f);
        return result;
    }
    std::vector<std::string> Backups() const {
        std::vector<std::string> files;
        FindFilesRecursive(dir / "program/backup/*.*", "*.*", files);
        return files;
    }
};

// Uncompressed TGA of one colour (B, G, R[, A] bytes per pixel).
inline std::string SolidTga(int width, int height, std::string_view pixel, int type = 2) {
    TgaFields f;
    f.type = type;
    f.depth = static_cast<int>(pixel.size()) * 8;
    f.width = width;
    f.height = height;
    f.descriptor = pixel.size() == 4 ? 8 : 0;
    for (int i = 0; i < width * height; ++i) f.pixels += pixel;
    if (type == 10) f.pixels = RleEncode(f.pixels, static_cast<int>(pixel.size()));
    return MakeTga(f);
}

// A 24-bit BMP of one colour.
inline std::string SolidBmp(int width, int height, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    BmpFields f;
    f.width = width;
    f.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) f.pixels.insert(f.pixels.end(), {b, g, r});
        while (f.pixels.size() % 4) f.pixels.push_back(0);
    }
    return MakeBmp(f);
}

inline std::string SolidJpeg(int width, int height, std::uint32_t rgb) {
    Image32 image;
    image.Resize(width, height, 0xFF000000u | rgb);
    return EncodeJpeg(image);
}

}  // namespace kelvarn::test
