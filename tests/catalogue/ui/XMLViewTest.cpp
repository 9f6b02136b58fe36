#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTreeView>

#include "OutlineTestBed.h"
#include "catalogue/ui/XMLView.h"

namespace kelvarn {
namespace {

struct CatalogueBed : test::OutlineBed {
    std::unique_ptr<TXMLView> xml;
    int activated = 0;
    CatalogueBed() {
        test::WriteBytes(dir / "program/bin/tags.xml",
                         test::ReadBytes(std::string(KELVARN_TEST_DATA) + "/tagspec/tags.xml"));
        xml = std::make_unique<TXMLView>(state, *view);
        xml->Init(&bus);
        xml->SetActivationHook([this] { ++activated; });
        xml->resize(500, 400);
        xml->show();
        Load(Asset("car", "kind traincar\nusername \"Car\"\n"));
    }
    const TCatalogueNode* Entry(std::initializer_list<std::size_t> rows) const {
        const TCatalogueNode* node = xml->Catalogue().Top();
        for (std::size_t row : rows) node = node ? node->Child(row) : nullptr;
        return node;
    }
    QPoint Point(const TCatalogueNode* node) const {
        xml->Select(node);
        return xml->Tree()->visualRect(xml->Tree()->currentIndex()).center();
    }
};

TEST(XMLView, ShowsTheKindExpandedAndComesToTheFront) {
    CatalogueBed bed;
    bed.xml->ShowAvailableTags("");
    QTreeView* tree = bed.xml->Tree();
    const QModelIndex top = tree->model()->index(0, 0);
    EXPECT_EQ(top.data().toString(), "Kind traincar: available tags");
    EXPECT_TRUE(tree->isExpanded(top));
    EXPECT_EQ(tree->model()->rowCount(top), static_cast<int>(bed.xml->Catalogue().Top()->ChildCount()));
    EXPECT_EQ(bed.activated, 1);
    EXPECT_FALSE(bed.xml->Alert()->IsOpen());
    // Selecting an element with a help attribute shows it in status panel 2.
    const TCatalogueNode* kind = bed.Entry({2});
    ASSERT_EQ(kind->Text(), "kind");
    bed.xml->Select(kind);
    EXPECT_EQ(bed.bus.Count(ccStatusText, "2|The asset kind; the subsection on kinds explains them"), 1);
    bed.xml->Clear();
    EXPECT_EQ(tree->model()->rowCount(), 0);
    EXPECT_FALSE(bed.xml->Catalogue().Loaded());
}

TEST(XMLView, MenuNeverOnTheTopNodeAndHelpOnlyWithWiki) {
    CatalogueBed bed;
    bed.xml->ShowAvailableTags("traincar");
    bed.xml->PopupContextMenu(bed.Point(bed.xml->Catalogue().Top()));
    EXPECT_FALSE(bed.xml->ContextMenu()->isVisible());
    const TCatalogueNode* kind = bed.Entry({2});
    bed.state.Settings().WriteString("Options", "Wiki", "0");  // on unless switched off, as the dialog shows
    bed.xml->PopupContextMenu(bed.Point(kind));
    EXPECT_TRUE(bed.xml->ContextMenu()->isVisible());
    EXPECT_FALSE(bed.xml->Action("mHelpOnTag")->isVisible());
    bed.xml->ContextMenu()->close();
    bed.state.Settings().WriteString("Options", "Wiki", "1");
    bed.xml->PopupContextMenu(bed.Point(kind));
    EXPECT_TRUE(bed.xml->Action("mHelpOnTag")->isVisible());
    bed.xml->ContextMenu()->close();
    bed.xml->PopupContextMenu(bed.Point(bed.Entry({1})));  // kuid: no help
    EXPECT_FALSE(bed.xml->Action("mHelpOnTag")->isVisible());
    bed.xml->ContextMenu()->close();
    std::string helped;
    bed.xml->HelpLink = [&](const std::string& path) { helped = path; };
    bed.xml->Select(kind);
    bed.xml->Action("mHelpOnTag")->trigger();
    EXPECT_EQ(helped, "config.txt\\kind");
}

TEST(XMLView, CopiesTheTreeAndAddsToTheMainOutline) {
    CatalogueBed bed;
    bed.xml->ShowAvailableTags("");
    bed.xml->Action("mCopyTree")->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), CatalogueTreeText(bed.xml->Catalogue().Top()));
    // A tag with a default goes into the main outline, written as its tag definitions say.
    const TCatalogueNode* top = bed.xml->Catalogue().Top();
    const TCatalogueNode* offset = nullptr;
    for (std::size_t i = 0; i < top->ChildCount(); ++i)
        if (top->Child(i)->Text() == "offset") offset = top->Child(i);
    ASSERT_NE(offset, nullptr);
    bed.xml->Select(offset);
    bed.xml->Action("mAddToConfig")->trigger();
    ASSERT_NE(bed.Node("offset"), nullptr);
    EXPECT_EQ(bed.Node("offset")->Text(), "offset 0,0,0");
    EXPECT_TRUE(bed.document.Modified());
    EXPECT_TRUE(bed.document.CanUndo());
}

TEST(XMLView, ABadFileShowsInThePanesAlert) {
    CatalogueBed bed;
    test::WriteBytes(bed.dir / "program/bin/tags.xml", "<TAGS>");
    bed.xml->ShowAvailableTags("");
    EXPECT_TRUE(bed.xml->Alert()->IsOpen());
    EXPECT_TRUE(ContainsStr(bed.xml->Alert()->Text(), "tags.xml")) << bed.xml->Alert()->Text();
    EXPECT_EQ(bed.xml->Tree()->model()->rowCount(), 0);
}

}  // namespace
}  // namespace kelvarn
