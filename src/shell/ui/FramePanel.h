// What every pane shares: a border (its colour marks the highlighted pane), an optional header with
// a caption and the maximise button bMax, the body, and the alert strip at the foot. TFrame<I> gives
// an interface of Frames.h the shared parts with a do-nothing protocol, so a frame implements only
// what it does; the empty frames stand in for panes whose parts are not built yet.
#pragma once

#include <QColor>
#include <QFrame>
#include <QFont>
#include <functional>
#include <string>

#include "shell/ui/Alert.h"
#include "shell/ui/Frames.h"

class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

namespace kelvarn {

class TFramePanel : public QFrame {
public:
    // `header`: a caption row with the maximise button.
    TFramePanel(const QString& objectName, const QString& caption, bool header, QWidget* parent = nullptr);

    QWidget* Body() const { return body_; }
    QVBoxLayout* BodyLayout() const { return bodyLayout_; }
    QHBoxLayout* HeaderLayout() const { return headerLayout_; }  // null without header
    TAlert* AlertStrip() const { return alert_; }
    QToolButton* MaxButtonWidget() const { return max_; }
    void SetPanelBorder(int width, const QColor& colour);
    int BorderWidth() const { return borderWidth_; }
    QColor BorderColour() const { return borderColour_; }
    // The name callback 226 carries when the mouse enters ("AssetList", "FileView", "OutlineView").
    void SetHighlightName(std::string name) { highlightName_ = std::move(name); }
    // The command target the pane sends to, set by Init.
    void SetBus(ICommandBus* bus) { bus_ = bus; }
    ICommandBus* Bus() const { return bus_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    QWidget* body_;
    QVBoxLayout* bodyLayout_;
    QHBoxLayout* headerLayout_ = nullptr;
    QToolButton* max_ = nullptr;
    TAlert* alert_;
    int borderWidth_ = 1;
    QColor borderColour_;
    std::string highlightName_;
    ICommandBus* bus_ = nullptr;
};

// The shared half of a frame: everything of IFrame (and of the viewer interface's header) that is the
// same for all panes. A derived frame overrides what it really does.
template <class Interface>
class TFrame : public TFramePanel, public Interface {
public:
    TFrame(const QString& objectName, const QString& caption, bool header, QWidget* parent = nullptr)
        : TFramePanel(objectName, caption, header, parent) {}

    QWidget* Widget() override { return this; }
    void Init(ICommandBus* target) override { SetBus(target); }
    void Clear() override {}
    bool CloseQuery() override { return true; }
    void Close() override {}
    bool QuerySave() override { return true; }
    TAlert* Alert() override { return AlertStrip(); }
    QWidget* MainControl() override { return Body(); }
    void SetBorder(int width, const QColor& colour) override { SetPanelBorder(width, colour); }
    bool Busy() const override { return false; }
    void Cancel() override {}
    void ApplyFont(const QFont& font) override { setFont(font); }
    QAbstractButton* MaxButton() override;
};

// The viewer interface's own parts with nothing to show.
template <class Interface = IViewerFrame>
class TViewerFrame : public TFrame<Interface> {
public:
    using TFrame<Interface>::TFrame;
    std::string ShownFile() const override { return {}; }
    std::string LoadFile(const std::string&, int) override { return {}; }
    std::string SaveFile(const std::string&) override { return {}; }
    bool Modified() const override { return false; }
    void SetActivationHook(std::function<void()> hook) override { activated_ = std::move(hook); }

protected:
    void Activated() {
        if (activated_) activated_();
    }

private:
    std::function<void()> activated_;
};

// Panes whose parts later issues build: an empty body (drawn as an empty list would be) and a
// do-nothing protocol.
void ShowEmptyBody(TFramePanel& panel);

class TEmptyFrame final : public TFrame<IFrame> {
public:
    TEmptyFrame(const QString& objectName, const QString& caption, bool header, QWidget* parent = nullptr)
        : TFrame(objectName, caption, header, parent) {
        ShowEmptyBody(*this);
    }
};
class TEmptyViewerFrame final : public TViewerFrame<IViewerFrame> {
public:
    TEmptyViewerFrame(const QString& objectName, const QString& caption, bool header, QWidget* parent = nullptr)
        : TViewerFrame(objectName, caption, header, parent) {
        ShowEmptyBody(*this);
    }
};
class TEmptyAssetListFrame final : public TFrame<IAssetListFrame> {
public:
    TEmptyAssetListFrame(const QString& objectName, const QString& caption, bool header, QWidget* parent = nullptr)
        : TFrame(objectName, caption, header, parent) {
        ShowEmptyBody(*this);
    }
    void AddDirectory(const std::string& folder) override { lastFolder = folder; }
    int EntryCount() const override { return 0; }
    std::string lastFolder;
};

}  // namespace kelvarn

#include <QToolButton>
template <class Interface>
QAbstractButton* kelvarn::TFrame<Interface>::MaxButton() {
    return this->MaxButtonWidget();
}
