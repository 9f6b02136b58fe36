#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "media/ui/GridView.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "support/MeshFileBuilder.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

constexpr int D = GridModel::kFixedCols;

class GridView : public ::testing::Test {
protected:
    GridView() {
        test::TestApp();
        state.ProgramFolder = dir.Path() + "/";
        state.OpenSettings(dir / "kelvarn.ini");
        state.Messages = &messages;
        state.CommandTarget = &bus;
        view = MakeView();
    }
    std::unique_ptr<TGridView> MakeView() {
        auto v = std::make_unique<TGridView>(state);
        v->Init(&bus);
        v->resize(600, 400);
        v->show();
        return v;
    }
    void CloseMenus() {
        QApplication::processEvents();
        view->ContextMenu()->hide();
    }
    std::vector<std::string> Column(const TGridView& v, int col) {
        std::vector<std::string> out;
        for (int r = 1; r < const_cast<TGridView&>(v).Grid().RowCount(); ++r)
            out.push_back(const_cast<TGridView&>(v).Grid().Cell(col, r));
        return out;
    }

    test::TempDir dir;
    test::RecordingMessageSink messages;
    test::RecordingCommandBus bus;
    TProgramState state;
    std::unique_ptr<TGridView> view;
};

TEST_F(GridView, ShowTableActivatesAndHeaderClicksSortBothWays) {
    int activated = 0;
    view->SetActivationHook([&] { ++activated; });
    view->ShowTable({"name,Width", "b,10", "a,9", "c,100"});
    EXPECT_EQ(activated, 1);
    EXPECT_EQ(view->Table()->model()->rowCount(), 3);
    EXPECT_EQ(view->Table()->model()->headerData(D + 1, Qt::Horizontal).toString(), "Width");
    EXPECT_TRUE(view->Table()->isColumnHidden(0));
    EXPECT_TRUE(view->Table()->isColumnHidden(view->Grid().ColCount() - 1));

    QHeaderView* header = view->Table()->horizontalHeader();
    emit header->sectionClicked(D + 1);
    EXPECT_EQ(Column(*view, D + 1), (std::vector<std::string>{"9", "10", "100"}));
    EXPECT_TRUE(header->isSortIndicatorShown());
    EXPECT_EQ(header->sortIndicatorSection(), D + 1);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    emit header->sectionClicked(D + 1);
    EXPECT_EQ(Column(*view, D + 1), (std::vector<std::string>{"100", "10", "9"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    view->Table()->model()->setData(view->Table()->model()->index(0, D), "edited");
    EXPECT_FALSE(header->isSortIndicatorShown());
    EXPECT_TRUE(view->Modified());
    view->Table()->model()->setData(view->Table()->model()->index(0, D), "c");
    EXPECT_EQ(Column(*view, D), (std::vector<std::string>{"c", "b", "a"}));
    // The row-number column is no data column: its header does not sort.
    emit header->sectionClicked(1);
    EXPECT_EQ(Column(*view, D), (std::vector<std::string>{"c", "b", "a"}));
}

TEST_F(GridView, ReadOnlyTableOpensNoMenuAndCommandsActOnTheMenusGrid) {
    view->ShowTable({"Tag,point", "a,x", "b,y"});
    view->ContextMenuPopup(D, 1);
    EXPECT_TRUE(bus.sent.empty());
    EXPECT_FALSE(view->ContextMenu()->isVisible());

    auto second = MakeView();
    view->ShowTagList({"Tag,point", "b,x", "a,y"}, 4);
    second->ShowTagList({"Tag,point", "b,x", "a,y"}, 4);
    view->ContextMenuPopup(D, 1);
    EXPECT_EQ(TGridView::MenuGrid(), view.get());
    second->ContextMenuPopup(D, 0);
    CloseMenus();
    second->ContextMenu()->hide();
    ASSERT_EQ(bus.sent.back(), (std::pair<int, std::string>{2700, ""}));
    ASSERT_EQ(TGridView::MenuGrid(), second.get());
    TGridView::MenuGrid()->UpdateMenuState();
    EXPECT_TRUE(second->ContextMenu()->actions()[3]->isEnabled());  // "Serialise Tags" on the "Tag" header
    TGridView::MenuGrid()->PerformCommand(2701);
    TGridView::MenuGrid()->PerformCommand(2704);
    EXPECT_EQ(Column(*second, D), (std::vector<std::string>{"0", "1"}));
    EXPECT_EQ(Column(*view, D), (std::vector<std::string>{"b", "a"}));
    EXPECT_FALSE(view->Modified());

    // The menu sends each item's number with its caption.
    bus.sent.clear();
    second->ContextMenu()->actions()[0]->trigger();
    ASSERT_FALSE(bus.sent.empty());
    EXPECT_EQ(bus.sent.back(), (std::pair<int, std::string>{2701, "Sort Column"}));
    second.reset();
    EXPECT_EQ(TGridView::MenuGrid(), nullptr);
}

TEST_F(GridView, FillPanelAsksForDependenciesAndFillsTheClickedColumn) {
    test::MeshFileBuilder mesh;
    mesh.Info().Attachments({{"a.light:cull"}, {"b"}});
    test::WriteBytes(dir / "asset/body.im", mesh.Bytes());
    state.SetAssetPath(dir / "asset");
    state.DependencyKuids = {"kuid:1:1"};  // an earlier asset's
    view->ShowTagList({"name,point", "x,", "y,"}, 4);
    view->ContextMenuPopup(D + 1, 2);
    CloseMenus();
    view->PerformCommand(2705);
    EXPECT_TRUE(view->FillPanel()->isVisibleTo(view.get()));
    EXPECT_TRUE(state.DependencyKuids.empty());
    EXPECT_EQ(bus.sent.back().first, int(ccListDependencies));

    view->SetFillTemplate("p$", 1, 2, false);
    view->findChild<QPushButton*>("bFillOK")->click();
    EXPECT_EQ(Column(*view, D + 1), (std::vector<std::string>{"", "p1", "p2"}));

    view->FillFilter()->setCurrentText("Points");
    EXPECT_EQ(view->FillCheck()->count(), 2);
    view->findChild<QPushButton*>("bFillOK")->click();
    EXPECT_EQ(Column(*view, D + 1), (std::vector<std::string>{"", "a.light", "b"}));
    // Nothing ticked writes nothing.
    view->SetTicked(0, false);
    view->SetTicked(1, false);
    view->Grid().SetCell(D + 1, 2, "kept");
    view->findChild<QPushButton*>("bFillOK")->click();
    EXPECT_EQ(view->Grid().Cell(D + 1, 2), "kept");

    view->findChild<QPushButton*>("bFillClose")->click();
    EXPECT_FALSE(view->FillPanel()->isVisibleTo(view.get()));
    EXPECT_EQ(view->FillFilter()->currentText(), "Points");  // the button keeps the filter
    view->FillClose();
    EXPECT_EQ(view->FillFilter()->currentText(), "Template");
    EXPECT_EQ(view->FillCheck()->count(), 0);

    view->FillFilter()->setCurrentText("Points");
    test::WriteBytes(dir / "asset/body.im", "damaged");
    view->FillFilterChange();
    EXPECT_EQ(view->FillCheck()->count(), 0);
    EXPECT_EQ(view->FillCheck()->placeholderText(), "None found");
}

TEST_F(GridView, SavesPrintsAndClearsOnCloseOnly) {
    view->ShowTable({"a,b", "\"x \"\"y\"\"\",é"});
    std::string asked;
    view->ChooseSaveFile = [&](const std::string& start) {
        asked = start;
        return std::string();
    };
    EXPECT_EQ(view->SaveGrid(), "");
    EXPECT_EQ(asked, "SavedGrid.csv");
    EXPECT_FALSE(std::filesystem::exists(dir / "SavedGrid.csv"));
    view->ChooseSaveFile = [&](const std::string&) { return dir / "out.csv"; };
    EXPECT_EQ(view->SaveGrid(), "");
    EXPECT_EQ(test::ReadBytes(dir / "out.csv"), "\"a\",\"b\",\"\"\r\n\"x \"\"y\"\"\",\"\xE9\",\"\"\r\n");
    EXPECT_TRUE(bus.sent.empty());  // outside the asset folder
    state.SetAssetPath(dir.Path());
    view->ChooseSaveFile = [&](const std::string& start) {
        asked = start;
        return start;
    };
    EXPECT_EQ(view->SaveGrid(), "");
    EXPECT_EQ(ExtractFileName(asked), "SavedGrid.csv");
    ASSERT_FALSE(bus.sent.empty());
    EXPECT_EQ(bus.sent.back(), (std::pair<int, std::string>{ccFileSaved, "SavedGrid.csv"}));

    view->ConfirmPrint = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(dir / "grid.pdf"));
        return true;
    };
    view->PrintClick();
    EXPECT_GT(std::filesystem::file_size(dir / "grid.pdf"), 500u);

    EXPECT_TRUE(view->CloseQuery());
    EXPECT_EQ(view->Grid().RowCount(), 2);  // a refused close elsewhere keeps the table
    view->Close();
    EXPECT_EQ(view->Grid().RowCount(), 0);
}

}  // namespace
}  // namespace kelvarn
