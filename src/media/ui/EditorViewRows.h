// The descriptor and level-of-detail frames in the main window: their branches of showing a file
// (callback 220). src/app/ calls this once the windows exist.
#pragma once

namespace kelvarn {

class TLODView;
class TMain;
class TTextureView;

void ConnectEditorViews(TMain& main, TTextureView& texture, TLODView& lod);

}  // namespace kelvarn
