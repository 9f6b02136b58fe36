#include "media/SelectorModel.h"

#include "shell/CommandBus.h"

namespace kelvarn {

namespace {

std::size_t Slot(int mode) { return mode == smTextures ? 1 : 0; }

}  // namespace

int TSelectorModel::ShowIndex(int count) const {
    if (count <= 0) return -1;
    const int kept = Kept(Mode);
    return kept >= 0 && kept < count ? kept : 0;
}

void TSelectorModel::Keep(int index) { kept_[Slot(Mode)] = index; }

int TSelectorModel::Kept(int mode) const { return kept_[Slot(mode)]; }

int TSelectorModel::SelectionCode() const { return Mode == smTextures ? ccShowTexture : ccShowPoint; }

}  // namespace kelvarn
