// The point selector without its window: which list it shows, the entry kept per list across hides,
// and what choosing an entry tells the mesh view.
#pragma once

#include <array>

namespace kelvarn {

enum TSelectorMode : int { smPoints = 1, smTextures = 2 };

class TSelectorModel {
public:
    int Mode = smPoints;

    // The entry to select when the list is shown: the kept one while the list is long enough, else
    // the first, or none (-1) for an empty list.
    int ShowIndex(int count) const;
    void Keep(int index);
    int Kept(int mode) const;
    // A newly shown mesh starts both lists at their first entry.
    void ResetKept() { kept_ = {0, 0}; }
    // The callback that carries the chosen entry's text: 252 a point, 253 a texture.
    int SelectionCode() const;
    // The point controls (show all, point size, zoom to point bounds) belong to the point list.
    bool PointControlsVisible() const { return Mode == smPoints; }

private:
    std::array<int, 2> kept_{0, 0};
};

}  // namespace kelvarn
