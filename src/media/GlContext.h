// The fixed GL state of the mesh view that does not need GL to be computed: the clear colour, the
// aspect of the view and the projection limits, and the light the bump and reflection passes use.
#pragma once

#include <array>

#include "media/Vectors.h"
#include "shell/Strings.h"

namespace kelvarn {

// The background colour (a Windows colour, red in the low byte) as GL's clear colour with alpha 0;
// 0 (black, or no colour) gives the default grey-blue (0.5, 0.5, 0.55).
std::array<float, 4> ClearColour(TColor background);

// Width / height, or 1 when either side is below 1.
float ViewAspect(int width, int height);

inline constexpr float kDefaultFieldOfView = 45.0f;
// The guides' axes run this far from the model's origin.
inline constexpr float kAxisLength = 500.0f;

struct TClipPlanes {
    float Near = 0, Far = 0;
};
// The depth range that holds everything within `radius` of the point the eye looks at from
// `distance`: from distance - radius to distance + radius, the near plane kept far enough off that
// the depth buffer still tells surfaces apart when the eye is inside that sphere.
TClipPlanes ClipPlanes(float distance, float radius);
// Where the bump and reflection passes put the light; GL's own light 0 keeps its default.
inline constexpr TVector3 kLightPosition = {150, 100, 300};

}  // namespace kelvarn
