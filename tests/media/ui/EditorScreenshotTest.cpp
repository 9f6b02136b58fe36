// The descriptor and LOD editors and the thumbnail window on a real display, as a new user sees them.
// Saves the pictures for a look.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <filesystem>

#include "ImageBuilders.h"
#include "media/StrellImage.h"
#include "media/ui/LODView.h"
#include "media/ui/TextureView.h"
#include "media/ui/Thumbnail.h"
#include "shell/ProgramState.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {
using namespace test;

void Save(QWidget& widget, const std::string& name) {
    widget.show();
    QApplication::processEvents();
    const QImage shot = widget.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    ASSERT_TRUE(shot.save(QString::fromStdString(std::string(KELVARN_SCREENSHOT_DIR) + "/" + name)));
}

TEST(EditorScreenshots, DescriptorLodAndThumbnail) {
    TestApp();
    TempDir dir;
    TProgramState state;
    state.ProgramFolder = dir / "prog/";
    WriteBytes(dir / "body.tga", "x");
    WriteBytes(dir / "body_alpha.tga", "x");
    WriteBytes(dir / "body.texture.txt", "Primary=body.tga\r\nAlpha=body_alpha.tga\r\nTile=st\r\nCompression=dxt5\r\n");
    TTextureView texture(state);
    texture.resize(640, 560);
    ASSERT_EQ(texture.LoadFile(dir / "body.texture.txt", 0), "");
    texture.CheckBox(7)->click();
    Save(texture, "texture-view.png");

    WriteBytes(dir / "lod0.im", "x");
    WriteBytes(dir / "lod1.im", "x");
    WriteBytes(dir / "body.lm.txt", "version 1.0\r\noffset = 0.01;\r\ncalcPoint = center;\r\nmultiplier = 1.0;\r\n"
                                    "mesh(\"10\") {\r\n  name=\"lod0.im\";\r\n}\r\nmesh(\"20\") {\r\n  name=\"lod1.im\";\r\n}\r\n");
    TLODView lod(state);
    lod.resize(640, 640);
    ASSERT_EQ(lod.LoadFile(dir / "body.lm.txt", 0), "");
    lod.RowBox(2)->click();
    lod.RowPercent(2)->setText("5");
    lod.RowFile(2)->setCurrentText("lod0.im");
    Save(lod, "lod-view.png");

    std::filesystem::create_directories(dir / "prog/bin");
    std::filesystem::copy_file(std::string(KELVARN_SOURCE_DIR) + "/resources/bin/watermark.tga", dir / "prog/bin/watermark.tga");
    TTextures library(state);
    TStrellImage facade(library);
    Image32 picture = TestPicture(400, 320);
    ASSERT_TRUE(facade.SaveTGA(dir / "shot.tga", picture, 1));
    TThumbnail thumbnail(state);
    ASSERT_TRUE(thumbnail.LoadSource(dir / "shot.tga"));
    thumbnail.WatermarkBox()->click();
    Save(thumbnail, "thumbnail.png");
}

}  // namespace
}  // namespace kelvarn
