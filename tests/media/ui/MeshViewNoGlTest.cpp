// The mesh view on a desktop without GL (Qt's offscreen platform): no GL widget, one message when a
// mesh is asked for, and nothing drawn, never a crash.
#include <gtest/gtest.h>

#include <QTest>

#include "MeshGlSupport.h"

namespace kelvarn {
namespace {

TEST(MeshViewWithoutGl, SaysSoOnceAndStaysEmpty) {
    test::GlTestApp();
    ASSERT_FALSE(OpenGLAvailable()) << "this test runs on the offscreen platform";
    test::MeshAsset asset;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TProgramState state;
    state.ProgramFolder = asset.ProgramFolder();
    state.Messages = &messages;
    state.SetAssetPath(asset.Asset());
    TMeshView view(state);
    view.Init(&bus);
    view.resize(300, 200);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(view.MeshImage(), nullptr);
    ASSERT_NE(view.MainControl(), nullptr);
    EXPECT_TRUE(messages.messages.empty()) << "nothing said until a mesh is asked for";

    view.ShowMesh(asset.Mesh());
    view.ShowMesh(asset.Mesh());
    QApplication::processEvents();
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0], "Error setting pixel format.");
    EXPECT_EQ(messages.captions[0], "SetPixelFormat");
    EXPECT_TRUE(view.RenderToImage(240, 180).Empty());
    view.Screenshot();
    EXPECT_FALSE(FileExists(asset.Path("asset/$screenshot$.jpg")));
    view.Close();
}

}  // namespace
}  // namespace kelvarn
