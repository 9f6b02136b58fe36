// The image pages as the editor window shows them: the resize page's spin buttons, hints and OK, the
// alpha-from-image page's tolerance mask, and the merge page's candidates and modes.
#include <gtest/gtest.h>

#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>

#include "media/StrellImage.h"
#include "media/ui/ImagePages.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/EditorPages.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

Image32 Filled(int w, int h, std::uint32_t argb) {
    Image32 image;
    image.Resize(w, h, argb);
    return image;
}

// The editor window as the pages see it: the page opened, its caption, and a modal run the test acts in.
class FakeEditor final : public IEditorPageHost {
public:
    QWidget holder;
    QPushButton ok{"OK"};
    QLabel help;
    std::map<int, QWidget*> pages;
    int openPage = -1, openSize = 0;
    std::string caption;
    std::function<int()> modal = [] { return 2; };

    void SetSectionDPage(int page, QWidget* widget) override {
        widget->setParent(&holder);
        pages[page] = widget;
    }
    void OpenSectionDPage(int page, int size, const std::string& text, QWidget*) override {
        openPage = page;
        openSize = size;
        caption = text;
        help.clear();
    }
    void SetCaption(const std::string& text) override { caption = text; }
    QAbstractButton* OKButton() override { return &ok; }
    QLabel* HelpText() override { return &help; }
    int ShowModal() override { return modal(); }
};

class ImagePages : public ::testing::Test {
protected:
    ImagePages() {
        state.Messages = &messages;
        state.SetAssetPath(dir / "asset");
        pages = std::make_unique<TImagePages>(state, editor);
    }
    // Opens the resize page for an image of w x h and runs `act` inside it.
    std::optional<TResizeChoice> Resize(int w, int h, bool masked, const std::function<void()>& act, int result = 1) {
        editor.modal = [&] {
            act();
            return result;
        };
        return pages->ResizeDialog(w, h, masked);
    }
    void SaveTga(const std::string& name, const Image32& image) {
        TTextures library(state);
        Image32 copy = image;
        ASSERT_TRUE(TStrellImage(library).SaveTGA(dir / ("asset/" + name), copy, 1));
    }

    bool app = (test::TestApp(), true);  // before any widget
    test::TempDir dir;
    TProgramState state;
    test::RecordingMessageSink messages;
    FakeEditor editor;
    std::unique_ptr<TImagePages> pages;
};

TEST_F(ImagePages, TheEditorTakesThreePagesOfSectionD) {
    EXPECT_EQ(editor.pages.at(1), pages->ImageMaskTab);
    EXPECT_EQ(editor.pages.at(2), pages->ImageSizeTab);
    EXPECT_EQ(editor.pages.at(3), pages->ImageListTab);
}

TEST_F(ImagePages, SpinButtonsStepByPowersOfTwoAndBeepAtTheirEnds) {
    struct Case {
        int width;
        bool up;
        int expected;
        int beeps;
    };
    for (const Case& c : {Case{1, true, 2, 0}, Case{2047, true, 2048, 0}, Case{2048, true, 2048, 1}, Case{3, false, 2, 0},
                          Case{5000, false, 2048, 0}, Case{2, false, 2, 1}}) {
        SCOPED_TRACE(std::to_string(c.width) + (c.up ? " up" : " down"));
        messages.beeps = 0;
        Resize(c.width, c.width, false, [&] {
            pages->cbThumbnail->setChecked(true);
            (c.up ? pages->sbiWidthUp : pages->sbiWidthDown)->click();
            EXPECT_EQ(pages->eiWidth->text().toInt(), c.expected);
            if (c.beeps == 0) {
                EXPECT_FALSE(pages->cbThumbnail->isChecked());
            }
        });
        EXPECT_EQ(messages.beeps, c.beeps);
    }
}

TEST_F(ImagePages, TheRatioCheckRefusesAStepWithItsHint) {
    Resize(256, 32, false, [&] {
        pages->sbiWidthUp->click();
        EXPECT_EQ(pages->eiWidth->text(), "256");
        EXPECT_EQ(editor.help.text(), "Max image size ratio 8:1");
    });
    EXPECT_EQ(messages.beeps, 1);
}

TEST_F(ImagePages, TheSizeFieldsSetOkTheThumbnailBoxAndTheHint) {
    const auto choice = Resize(512, 512, true, [&] {
        EXPECT_EQ(editor.caption, "Resize Image (512 x 512)");
        EXPECT_EQ(editor.openPage, 2);
        EXPECT_FALSE(editor.ok.isEnabled());  // until the size changes
        EXPECT_TRUE(pages->cbRetainAlpha->isChecked());
        for (const char* bad : {"", "0", "-5", "70000"}) {
            pages->eiWidth->setText(bad);
            pages->eiHeight->setText(std::string(bad) == "70000" ? "70000" : "16");
            EXPECT_FALSE(editor.ok.isEnabled()) << bad;
        }
        pages->eiWidth->setText("240");
        pages->eiHeight->setText("180");
        EXPECT_TRUE(pages->cbThumbnail->isChecked());
        EXPECT_EQ(editor.help.text(), "Valid as Thumbnail only");
        pages->eiWidth->setText("100");
        EXPECT_FALSE(pages->cbThumbnail->isChecked());
        EXPECT_EQ(editor.help.text(), "Invalid as texture size");
        pages->eiWidth->setText("256");
        pages->eiHeight->setText("128");
        EXPECT_TRUE(editor.ok.isEnabled());
        EXPECT_EQ(editor.help.text(), "");
    });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->Width, 256);
    EXPECT_EQ(choice->Height, 128);
    EXPECT_TRUE(choice->Mask);
    EXPECT_TRUE(editor.ok.isEnabled());  // given back to the other tasks
    EXPECT_FALSE(Resize(512, 512, false, [&] { pages->eiWidth->setText("64"); }, 2));
}

// The size fields take digits: letters typed after a number never reach them.
TEST_F(ImagePages, TheSizeFieldsRefuseLetters) {
    Resize(256, 256, false, [&] {
        for (QLineEdit* field : {pages->eiWidth, pages->eiHeight}) {
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, "240ab");
            EXPECT_EQ(field->text(), "240") << field->objectName().toStdString();
        }
    });
}

TEST_F(ImagePages, TheThumbnailBoxSetsTheThumbnailSize) {
    const auto choice = Resize(300, 200, false, [&] { pages->cbThumbnail->click(); });
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->Width, 240);
    EXPECT_EQ(choice->Height, 180);
    EXPECT_FALSE(choice->Mask);
}

TEST_F(ImagePages, AlphaFromImageMasksTheKeyColourWithinTheTolerance) {
    Image32 image;
    image.Resize(3, 1);
    image.At(0, 0) = 0xFF102030u;
    image.At(1, 0) = 0xFF112131u;
    image.At(2, 0) = 0xFF405060u;
    editor.modal = [&] {
        EXPECT_EQ(editor.caption, "Alpha Mask from Image");
        EXPECT_EQ(pages->tbTolerance->value(), 0);
        EXPECT_EQ(pages->lTolerance->text(), "Tolerance: 0");
        EXPECT_EQ(qGray(pages->MaskPreview->Picture().pixel(1, 0)), 255);
        return 1;
    };
    std::optional<Image32> mask = pages->AlphaFromImageDialog(image, 0xFF102030u);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Pixels, (std::vector<std::uint32_t>{0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu}));

    editor.modal = [&] {
        pages->tbTolerance->setValue(1);
        pages->cbInvert->setChecked(true);
        EXPECT_EQ(pages->lTolerance->text(), "Tolerance: 1");
        return 1;
    };
    mask = pages->AlphaFromImageDialog(image, 0xFF102030u);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Pixels, (std::vector<std::uint32_t>{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFF000000u}));
    editor.modal = [&] {
        EXPECT_EQ(pages->tbTolerance->value(), 1);  // the run's last choice
        EXPECT_TRUE(pages->cbInvert->isChecked());
        pages->SetKeyColour(0xFF405060u);
        return 2;
    };
    EXPECT_FALSE(pages->AlphaFromImageDialog(image, 0xFF102030u));
}

TEST_F(ImagePages, MergeOffersOnlyOtherPicturesOfTheSameSize) {
    std::filesystem::create_directories(dir / "asset/sub");
    Image32 shown = Filled(4, 4, 0xFF000000u);
    SaveTga("shown.tga", shown);
    SaveTga("big.tga", Filled(8, 8, 0xFF000000u));
    Image32 other = Filled(4, 4, 0x40FFFFFFu);
    SaveTga("sub/other.tga", other);
    test::WriteBytes(dir / "asset/x.texture.txt", "Primary=shown.tga\r\n");
    editor.modal = [&] {
        EXPECT_EQ(pages->MergeImageList->count(), 1);
        EXPECT_EQ(pages->MergeImageList->itemText(0), "sub/other.tga");
        EXPECT_EQ(editor.caption, "Select Image to Merge (4 x 4)");
        EXPECT_FALSE(pages->MergePreview->Picture().isNull());
        pages->rbRBG->setChecked(true);
        pages->cbMergeInvert->setChecked(true);
        return 1;
    };
    std::optional<Image32> grey = pages->MergeImageDialog(dir / "asset/shown.tga", 4, 4);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->At(0, 0) & 0xFF, 0u);  // white's intensity, inverted

    editor.modal = [&] {
        EXPECT_FALSE(pages->cbMergeInvert->isChecked());  // cleared for each run
        pages->rbAlpha->setChecked(true);
        return 1;
    };
    grey = pages->MergeImageDialog(dir / "asset/shown.tga", 4, 4);
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->At(0, 0) & 0xFF, 0x40u);

    EXPECT_FALSE(pages->MergeImageDialog(dir / "asset/shown.tga", 16, 16));
    EXPECT_EQ(messages.messages.back(), "No suitable files");
}

}  // namespace
}  // namespace kelvarn
