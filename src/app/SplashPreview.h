// The image view's floating preview is the splash window, centred on the main window when it opens.
#pragma once

#include <QWidget>

#include "media/ui/ImageView.h"
#include "media/ui/Splash.h"

namespace kelvarn {

class TSplashPreview final : public IFloatingPreview {
public:
    TSplashPreview(TSplash& splash, QWidget& main) : splash_(splash), main_(main) {}

    void ShowPreview(const Image32& image) override {
        // A refresh keeps the place the user dragged the window to.
        const bool placed = splash_.isVisible();
        const QPoint at = placed ? splash_.pos()
                                 : main_.mapToGlobal(main_.rect().center()) - QPoint(image.Width / 2, image.Height / 2);
        splash_.ShowSplash(at, image);
    }
    void HidePreview() override { splash_.hide(); }
    bool PreviewVisible() const override { return splash_.isVisible(); }

private:
    TSplash& splash_;
    QWidget& main_;
};

}  // namespace kelvarn
