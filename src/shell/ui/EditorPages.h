// What a page of another subsystem needs of the editor window: the image pages of the viewer live
// with the viewer, and src/app/ hands them to the editor through this, so the editor links no viewer
// and the viewer no editor.
#pragma once

#include <string>

class QAbstractButton;
class QLabel;
class QWidget;

namespace kelvarn {

class IEditorPageHost {
public:
    virtual ~IEditorPageHost() = default;
    // Puts a page in place of an empty one of section D.
    virtual void SetSectionDPage(int page, QWidget* widget) = 0;
    // Resets the window at `size` (width x 1000 + height) with a dialog border and the caption, shows
    // only section D's `page` across the window, hides the preview box, centres the window on the main
    // window and gives `focus` the focus when it shows.
    virtual void OpenSectionDPage(int page, int size, const std::string& caption, QWidget* focus) = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual QAbstractButton* OKButton() = 0;
    virtual QLabel* HelpText() = 0;
    // Shows the window modally: 1 OK, 2 Cancel.
    virtual int ShowModal() = 0;
};

}  // namespace kelvarn
