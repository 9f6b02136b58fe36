#include "media/GlContext.h"

namespace kelvarn {

std::array<float, 4> ClearColour(TColor background) {
    if (background == 0) return {0.5f, 0.5f, 0.55f, 0};
    return {static_cast<float>(background & 0xFF) / 255.0f, static_cast<float>((background >> 8) & 0xFF) / 255.0f,
            static_cast<float>((background >> 16) & 0xFF) / 255.0f, 0};
}

float ViewAspect(int width, int height) {
    if (width < 1 || height < 1) return 1;
    return static_cast<float>(width) / static_cast<float>(height);
}

}  // namespace kelvarn
