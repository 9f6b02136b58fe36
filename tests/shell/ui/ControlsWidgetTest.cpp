#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/MemIni.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/Alert.h"
#include "shell/ui/ColourBox.h"
#include "shell/ui/QtServices.h"
#include "shell/ui/XEdit.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

class Controls : public ::testing::Test {
protected:
    Controls() { test::TestApp(); }
};

TEST_F(Controls, AlertGrowsCapsAndScrollsToTheEnd) {
    QWidget frame;
    frame.resize(400, 400);
    auto* layout = new QVBoxLayout(&frame);
    layout->addStretch();
    auto* alert = new TAlert(&frame);
    layout->addWidget(alert);
    test::RecordingMessageSink sink;
    alert->SetBeepSink(&sink);
    frame.show();
    EXPECT_EQ(alert->StripHeight(), 0);

    alert->ShowAlert("one line\r\n", true, 1);
    EXPECT_EQ(alert->StripHeight(), 28);  // even when a line is shorter
    EXPECT_EQ(alert->Text(), "one line");  // trailing line ends dropped
    EXPECT_EQ(sink.beeps, 1);

    alert->ShowAlert("", true, 1);  // an empty text changes nothing
    EXPECT_EQ(alert->Text(), "one line");
    EXPECT_EQ(sink.beeps, 1);

    std::string ten;
    for (int i = 1; i <= 10; ++i) ten += "line " + std::to_string(i) + "\n";
    alert->ShowAlert(ten, true, 0);
    const int lineHeight = QFontMetrics(alert->Memo()->font()).boundingRect("Ag").height();
    EXPECT_EQ(alert->StripHeight(), 8 * lineHeight + 4);
    EXPECT_TRUE(alert->Scrolls());
    QApplication::processEvents();
    QScrollBar* bar = alert->Memo()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());  // the last line is in view
    EXPECT_GT(bar->maximum(), 0);

    alert->Close();
    EXPECT_EQ(alert->StripHeight(), 0);
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(alert->Memo()->contextMenuPolicy(), Qt::NoContextMenu);
}

TEST(MessageText, AmpersandsAndCarriageReturnsShowAsWritten) {
    EXPECT_EQ(MessageText("Delete Container && Contents?"), "Delete Container & Contents?");
    EXPECT_EQ(MessageText("'a' may have changed.\r\rSave file to disc?"), "'a' may have changed.\n\nSave file to disc?");
    EXPECT_EQ(MessageText("one\r\ntwo"), "one\ntwo");
}

TEST_F(Controls, AppendedLinesSizeTheStripAsShownOnes) {
    QWidget frame;
    frame.resize(300, 400);
    auto* layout = new QVBoxLayout(&frame);
    layout->addStretch();
    auto* appended = new TAlert(&frame);
    auto* shown = new TAlert(&frame);
    layout->addWidget(appended);
    layout->addWidget(shown);
    test::RecordingMessageSink sink;
    appended->SetBeepSink(&sink);
    shown->SetBeepSink(&sink);
    frame.show();

    // Short lines, lines that wrap, and a message of two lines: heights agree at every step, up
    // to the largest strip and beyond, where it scrolls to the end.
    std::string all;
    for (int i = 1; i <= 12; ++i) {
        std::string message = "message " + std::to_string(i);
        if (i % 4 == 0) message += " " + std::string(120, 'w') + " that wraps";
        if (i == 6) message += "\r\nsecond line of six";
        appended->AppendAlert(message, true, 0);
        all += (all.empty() ? "" : "\r\n") + message;
        shown->ShowAlert(all, true, 0);
        EXPECT_EQ(appended->StripHeight(), shown->StripHeight()) << i;
        EXPECT_EQ(appended->Scrolls(), shown->Scrolls()) << i;
        EXPECT_EQ(appended->Text(), shown->Text()) << i;
    }
    EXPECT_TRUE(appended->Scrolls());
    QApplication::processEvents();
    QScrollBar* bar = appended->Memo()->verticalScrollBar();
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(EndsWith(appended->Text(), "\nmessage 12 " + std::string(120, 'w') + " that wraps"));
    EXPECT_EQ(sink.beeps, 0);

    // A closed strip starts again with the appended text; the beep flag beeps.
    appended->Close();
    appended->AppendAlert("fresh\r\n", true, 1);
    EXPECT_EQ(appended->Text(), "fresh");
    EXPECT_EQ(appended->StripHeight(), 28);
    appended->AppendAlert("", true, 1);  // nothing to add: nothing happens
    appended->AppendAlert("more", true, 1);
    EXPECT_EQ(appended->Text(), "fresh\nmore");
    EXPECT_EQ(sink.beeps, 2);
}

TEST_F(Controls, AlertTakesTheSchemeColours) {
    TAlert alert;
    alert.SetColours(QColor(255, 255, 255), QColor(0x98, 0x98, 0x98));
    EXPECT_EQ(alert.Memo()->palette().color(QPalette::Base), QColor(0x98, 0x98, 0x98));
    EXPECT_EQ(alert.Memo()->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(ToQColor(*HexToColor("#800000")), QColor(128, 0, 0));
    EXPECT_EQ(FromQColor(QColor(128, 0, 0)), 0x000080u);
}

TEST_F(Controls, XEditTypesOnlyItsCharacters) {
    struct Case {
        TCharType type;
        const char* typed;
        const char* kept;
    };
    const Case cases[] = {
        {ctNumeric, "-12a3", "123"},
        {ctKuid, "<kuid:12:3>x", "<kuid:12:3>"},
        {ctInteger, "-4.5", "-45"},
        {ctFilePath, "a/b c\\d", "a/b cd"},
    };
    for (const Case& c : cases) {
        TXEdit edit;
        test::RecordingMessageSink sink;
        edit.SetBeepSink(&sink);
        edit.CharErrorBeep = true;
        edit.SetCharType(c.type);
        QTest::keyClicks(&edit, c.typed);
        EXPECT_EQ(edit.text().toStdString(), c.kept) << c.typed;
        EXPECT_EQ(sink.beeps, int(std::strlen(c.typed) - std::strlen(c.kept))) << c.typed;
    }
    TXEdit edit;
    edit.SetCharType(ctStandard);
    QTest::keyClicks(&edit, "ab");
    QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("\xC3\xA9"));
    QApplication::sendEvent(&edit, &accented);  // above 127: refused
    EXPECT_EQ(edit.text(), "ab");
    QTest::keyClick(&edit, Qt::Key_Backspace);  // editing keys pass
    EXPECT_EQ(edit.text(), "a");
}

TEST_F(Controls, XEditEnterMovesTheFocusAndInsertsNothing) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* first = new TXEdit(&form);
    auto* second = new QLineEdit(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    first->TabOnEnter = true;
    first->ColorOnEnter = QColor(255, 255, 200);
    form.show();
    QApplication::setActiveWindow(&form);
    first->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(first->palette().color(QPalette::Base), QColor(255, 255, 200));
    QTest::keyClicks(first, "ab");
    QTest::keyClick(first, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(first->text(), "ab");
    EXPECT_TRUE(second->hasFocus());
    EXPECT_NE(first->palette().color(QPalette::Base), QColor(255, 255, 200));  // its own colour again
    QTest::keyClick(second, Qt::Key_Tab, Qt::ShiftModifier);
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return, Qt::ShiftModifier);  // back
    QApplication::processEvents();
    EXPECT_FALSE(first->hasFocus());
}

TEST_F(Controls, TrackBarOwnerDrawsTheChannel) {
    TXTrackBar bar(Qt::Vertical);
    bar.resize(30, 200);
    std::vector<TTrackBarPart> parts;
    bar.OnCustomDraw = [&](QPainter&, TTrackBarPart part, bool& defaultDraw, const QRect&) {
        parts.push_back(part);
        defaultDraw = part != tbpChannel;
    };
    bar.grab();
    EXPECT_EQ(parts, (std::vector<TTrackBarPart>{tbpTicks, tbpThumb, tbpChannel}));
}

TEST_F(Controls, SharedListAndFontHelpers) {
    QListWidget list;
    for (const char* name : {"a", "b", "c"}) {
        auto* item = new QListWidgetItem(name, &list);
        item->setCheckState(Qt::Unchecked);
    }
    list.item(1)->setCheckState(Qt::Checked);
    InvertChecks(list);
    EXPECT_EQ(list.item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(list.item(1)->checkState(), Qt::Unchecked);
    CheckAll(list, false);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list.item(i)->checkState(), Qt::Unchecked);

    QProgressBar gauge;
    InitGauge(gauge, 40, false);
    EXPECT_EQ(gauge.maximum(), 40);
    EXPECT_EQ(gauge.value(), 1);
    EXPECT_FALSE(gauge.isVisible());

    TMemIni settings;
    settings.SetText("[Fonts]\nFixed=DejaVu Sans Mono,13\n");
    QFont font;
    ApplyFont(font, "Fixed", settings);
    EXPECT_EQ(font.family(), "DejaVu Sans Mono");
    EXPECT_EQ(font.pointSize(), 13);
    ApplyFont(font, "Proportional", settings);  // the default "Verdana,10"
    EXPECT_EQ(font.family(), "Verdana");
    EXPECT_EQ(font.pointSize(), 10);
}

TEST_F(Controls, TooltipsOffDropsTooltipEvents) {
    TTooltipFilter filter;
    QWidget widget;
    QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), QPoint(1, 1));
    EXPECT_FALSE(filter.eventFilter(&widget, &tip));
    filter.enabled = false;
    EXPECT_TRUE(filter.eventFilter(&widget, &tip));
    QEvent other(QEvent::Enter);
    EXPECT_FALSE(filter.eventFilter(&widget, &other));
}

class ColourBoxTest : public Controls {
protected:
    ColourBoxTest() {
        state.ProgramFolder = dir.Path() + "/";
        state.OpenSettings(dir / "kelvarn.ini");
        state.Messages = &messages;
    }
    test::TempDir dir;
    test::RecordingMessageSink messages;
    TProgramState state;
};

TEST_F(ColourBoxTest, PreparedColoursShowOnTheBars) {
    TColourBox box(state);
    box.PrepareRgbaColour("Colour", "10,20,30,40");
    EXPECT_EQ(box.GetColourString("rgba"), "10,20,30,40");
    EXPECT_TRUE(box.Bar(chAlpha)->isVisibleTo(&box));
    EXPECT_EQ(box.Bar(chRed)->value(), 245);  // upside down: 255 less the value
    EXPECT_EQ(box.Bar(chAlpha)->value(), 215);
    EXPECT_EQ(box.findChild<QLabel*>("RedL")->text(), "10");
    EXPECT_EQ(box.StatusLabel()->text().toStdString(), box.Model().StatusLine());
    EXPECT_TRUE(box.StatusLabel()->text().contains("HTML [#0A141E]"));
    box.PrepareRgbColour("Colour", "255,abc");  // config values never fail
    EXPECT_FALSE(box.Bar(chAlpha)->isVisibleTo(&box));
    EXPECT_EQ(box.GetColourString("rgb"), "255,0,0");
    EXPECT_EQ(box.GetColourString("cmyk"), "");
    EXPECT_EQ(messages.messages, std::vector<std::string>{"ColourBox.GetColourString: Undefined case"});
}

TEST_F(ColourBoxTest, BarsRecomputeTheOtherModelAndHueWraps) {
    TColourBox box(state);
    box.PrepareHtmlColour("Colour", "#FF0000");
    EXPECT_EQ(box.Bar(chHue)->value(), 240);  // hue 0
    box.Bar(chHue)->setValue(-1);  // dragged past the top
    EXPECT_EQ(box.Model().hue, 0);
    EXPECT_EQ(box.Bar(chHue)->value(), 240);
    box.Bar(chHue)->setValue(160);  // hue 80: green
    EXPECT_EQ(box.Model().green, 255);
    EXPECT_EQ(box.Model().red, 0);
    box.Bar(chGreen)->setValue(255);  // green 0: black
    EXPECT_EQ(box.Model().lum, 0);
}

TEST_F(ColourBoxTest, OkPutsTheColourAtTheHeadOfTheHistory) {
    state.Settings().SetText("[ColoursMRU]\n1=#000001\n2=#000002\n3=#ABCDEF\n4=#000004\n");
    TColourBox box(state);
    box.PrepareHtmlColour("Colour", "#abcdef");
    box.show();
    EXPECT_EQ(box.HistoryPanel(2)->toolTip(), "#ABCDEF");
    box.OKClick(true);
    std::vector<std::string> history = LoadColourHistory(state.Settings());
    EXPECT_EQ(history[0], "#ABCDEF");
    EXPECT_EQ(history[1], "#000001");
    EXPECT_EQ(history[3], "#000004");
    EXPECT_TRUE(box.Accepted());

    box.PrepareColourPair("Comment", "Sample", 255, 0xFFFFFF, 0x000080);
    EXPECT_TRUE(box.findChild<QWidget*>("bBackground")->isVisibleTo(&box));
    box.SetEditMode(2);
    box.PickColour(0x00FF00);
    box.OKClick(true);
    EXPECT_EQ(box.GetColourString("HTMLPair"), "#800000,#00FF00");
}

}  // namespace
}  // namespace kelvarn
