// OutlineItemModel: the Qt item model over an outline document. It holds no copy of the tree: an
// index points at its node, and the document's observer calls become Qt's begin/end calls, so
// selection, expansion and scroll position survive every edit. A load, an undo or a clear is a reset.
#pragma once

#include <QAbstractItemModel>
#include <QColor>
#include <functional>
#include <string>

#include "catalogue/OutlineHooks.h"

namespace kelvarn {

class TMemIni;
class TOutlineDocument;
class TOutlineNode;

class OutlineItemModel final : public QAbstractItemModel, public IOutlineObserver {
public:
    // The model observes `document` until it is destroyed. Colours come from `settings` (the
    // "Colours" section); null gives the defaults.
    OutlineItemModel(TOutlineDocument& document, const TMemIni* settings, QObject* parent = nullptr);
    ~OutlineItemModel() override;

    TOutlineDocument& Document() const { return document_; }
    TOutlineNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(const TOutlineNode* node) const;
    // Re-reads the scheme colours (they are also read at every reset).
    void ReadColours();

    // What the view hears besides the model's own signals.
    std::function<void()> OnBeforeReset;
    std::function<void(TResetReason)> OnAfterReset;
    std::function<void(const std::string&)> OnAlert;
    std::function<void()> OnTrainzBuildDeleted;
    std::function<void(const TOutlineNode*)> OnMakeVisible;
    std::function<void(const TOutlineNode*, bool)> OnExpandNode;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // IOutlineObserver
    void BeginInsert(const TOutlineNode* parent, std::size_t index) override;
    void EndInsert(const TOutlineNode* node) override;
    void BeginRemove(const TOutlineNode* node) override;
    void EndRemove(const TOutlineNode* parent, std::size_t index) override;
    void BeginMove(const TOutlineNode* node, const TOutlineNode* newParent, std::size_t destination) override;
    void EndMove(const TOutlineNode* node) override;
    void NodeChanged(const TOutlineNode* node) override;
    void BeginReorder(const TOutlineNode* parent) override;
    void EndReorder(const TOutlineNode* parent) override;
    void BeginReset() override;
    void EndReset(TResetReason reason) override;
    void TrainzBuildDeleted() override;
    bool ShowAlert(std::string_view text) override;
    void MakeVisible(const TOutlineNode* node) override;
    void ExpandNode(const TOutlineNode* node, bool allLevels) override;

private:
    TOutlineDocument& document_;
    const TMemIni* settings_;
    QColor normal_, comment_;
    bool moving_ = false;
};

}  // namespace kelvarn
