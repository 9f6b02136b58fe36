#include "media/GlContext.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

TClipPlanes ClipPlanes(float distance, float radius) {
    // Far over near stays within what a 24-bit depth buffer resolves.
    constexpr float kDepthRatio = 10000.0f;
    constexpr float kMinFar = 0.01f;
    const float d = std::isfinite(distance) ? std::max(distance, 0.0f) : 0.0f;
    const float r = std::isfinite(radius) ? std::max(radius, 0.0f) : 0.0f;
    TClipPlanes planes;
    planes.Far = std::clamp((d + r) * 1.01f, kMinFar, std::numeric_limits<float>::max());
    planes.Near = std::max((d - r) * 0.99f, planes.Far / kDepthRatio);
    return planes;
}

}  // namespace kelvarn
