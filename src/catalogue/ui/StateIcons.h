// The outline's 32 state icons, one per flag code (the node's icon index less one: bit 0 modified,
// bit 1 tagged, bit 2 comment, bit 3 deletion, bit 4 error), drawn once at run time.
#pragma once

#include <QIcon>

namespace kelvarn {

inline constexpr int kStateIconCount = 32;
inline constexpr int kStateIconSize = 16;

// The icon of a code from 0 to 31; other codes give the icon of no flags.
const QIcon& StateIcon(int code);

}  // namespace kelvarn
