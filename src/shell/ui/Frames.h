// The panes of the main window and the viewer window, as the windows see them. The main window and
// the viewer window know frames only through these interfaces; src/app/ creates the concrete frames
// (asset list, file list, outline, the viewers) and hands them over, so kelvarn_shell_ui links no
// higher subsystem.
//
// A later issue supplies a frame by implementing the interface (usually by deriving from
// TFrame<IFrame>, TFrame<IViewerFrame> or TFrame<IAssetListFrame> in FramePanel.h, which give the
// border, the maximise header and the alert strip) and passing it in TMainFrames from src/app/.
#pragma once

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QFont;
class QColor;
class QWidget;

namespace kelvarn {

class ICommandBus;
class TAlert;

class IFrame {
public:
    virtual ~IFrame() = default;
    virtual QWidget* Widget() = 0;
    // The command target the frame sends to (the main window's bus).
    virtual void Init(ICommandBus* target) = 0;
    virtual void Clear() = 0;
    // May the window close? A frame with unsaved work asks the user.
    virtual bool CloseQuery() = 0;
    virtual void Close() = 0;
    // Asks to save unsaved changes (Yes saves). True when nothing is pending afterwards; false when the
    // save the user asked for failed and the work is still here (the caller must not move on).
    virtual bool QuerySave() = 0;
    virtual TAlert* Alert() = 0;
    // The control F5-F8 focus (list, tree, memo, image).
    virtual QWidget* MainControl() = 0;
    virtual void SetBorder(int width, const QColor& colour) = 0;
    // Long work in progress, and the request to stop it (Esc).
    virtual bool Busy() const = 0;
    virtual void Cancel() = 0;
    virtual void ApplyFont(const QFont& font) = 0;
    // The header's maximise button (bMax), null for a pane without header.
    virtual QAbstractButton* MaxButton() = 0;
};

// A frame of the viewer panel (text, image, mesh, table, tag catalogue, descriptor, level of detail).
class IViewerFrame : public IFrame {
public:
    // The file shown, empty when none.
    virtual std::string ShownFile() const = 0;
    // Shows a file; returns a message (empty when shown). `mode` is the viewer's own display mode.
    virtual std::string LoadFile(const std::string& path, int mode) = 0;
    // Saves what is shown to `path`; returns an error message, empty on success.
    virtual std::string SaveFile(const std::string& path) = 0;
    virtual bool Modified() const = 0;
    // Called by the frame whenever it shows content, so the window can bring it to the front.
    virtual void SetActivationHook(std::function<void()> hook) = 0;
};

class IAssetListFrame : public IFrame {
public:
    virtual void AddDirectory(const std::string& folder) = 0;
    virtual int EntryCount() const = 0;
};

// The text view as the viewer window uses it.
class ITextViewer : public IViewerFrame {
public:
    virtual std::string LoadTextFile(const std::string& path, int tabWidth, bool fixedFont, bool wrap) = 0;
    virtual void LoadStrings(const std::vector<std::string>& lines, int tabWidth, bool fixedFont, bool wrap) = 0;
    virtual std::string Text() const = 0;
    virtual void SetModified(bool modified) = 0;
    // Puts the caret at a view position (UTF-16 units) and scrolls it into view.
    virtual void SetCaret(std::size_t position) = 0;
    // The view's text as a file would hold it: its first line end, for mapping file offsets.
    virtual bool UsesCrLf() const = 0;
    // Asks for a file name and saves there.
    virtual void SaveAs() = 0;
    // The editor window's review pages show text that may not be changed.
    virtual void SetReadOnly(bool readOnly) = 0;
};

// The table view as the editor window embeds it for a list tag's rows.
class ITableViewer : public IViewerFrame {
public:
    // The rows as comma-separated lines, the captions first; `tagKind` is the tag's type
    // (TagTypeIndex), which chooses column widths and fill choices.
    virtual void ShowTagList(const std::vector<std::string>& lines, int tagKind) = 0;
    // Closes the fill panel and resets its choices.
    virtual void FillClose() = 0;
    // The cells of every data row (the captions row left out), from the first data column on.
    virtual std::vector<std::vector<std::string>> DataCells() const = 0;
};

}  // namespace kelvarn
