// Colour texts from settings and configs: "Colours" scheme values, "#RRGGBB", and the "rgb", "rgba"
// and "hls" tag values the colour selector prepares. None may fail, and what comes back must be in
// range and read back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/ColourBoxModel.h"
#include "shell/Colours.h"
#include "shell/MemIni.h"
#include "shell/MessageSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    using namespace kelvarn;

    TMemIni ini;
    ini.WriteString("Colours", "Comment", text);
    for (bool fg : {true, false})
        if (SchemeColour(&ini, skComment, fg) > 0xFFFFFF) std::abort();
    if (auto c = HexToColor(text); c && *c > 0xFFFFFF) std::abort();

    for (int count : {3, 4})
        for (int v : ParseColourNumbers(text, count, 255))
            if (v < 0 || v > 255) std::abort();

    SilentMessageSink silent;
    TColourBoxModel box;
    box.PrepareRgbaColour("c", text);
    const std::string rgba = box.GetColourString("rgba", silent);
    TColourBoxModel again;
    again.PrepareRgbaColour("c", rgba);
    if (again.GetColourString("rgba", silent) != rgba) std::abort();

    box.PrepareHlsColour("c", text);
    const std::string hls = box.GetColourString("hls", silent);
    again.PrepareHlsColour("c", hls);
    if (again.GetColourString("hls", silent) != hls) std::abort();
    for (int ch = chRed; ch <= chAlpha; ++ch)
        if (box.ChannelValue(ch) < 0 || box.ChannelValue(ch) > TColourBoxModel::ChannelMax(ch)) std::abort();

    box.PrepareHtmlColour("c", text);
    const THls h = RgbToHls({box.red, box.green, box.blue});
    if (h.hue < 0 || h.hue >= 240 || h.lum < 0 || h.lum > 240 || h.sat < 0 || h.sat > 240) std::abort();
    return 0;
}
