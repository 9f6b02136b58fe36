// The program's one resampler: thumbnails, the viewer's resize, non-uniform images and the texture
// repairs all scale pictures through it.
#pragma once

#include "shell/Image32.h"

namespace kelvarn {

// Scales the picture to width x height with a separable triangle filter, widened when reducing so
// that every source pixel counts. Channels are filtered independently (colour under alpha 0 is kept);
// each output pixel's weights sum exactly to one, so a uniform picture stays uniform. The same size
// leaves the picture as it is; an empty picture or a size outside the pixel cap returns false and
// changes nothing. The depth is kept.
bool ResampleBitmap(Image32& bitmap, int width, int height);

}  // namespace kelvarn
