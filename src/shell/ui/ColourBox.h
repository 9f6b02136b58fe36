// TColourBox: the "Colour Selector" dialog. It edits one colour, or a text colour on a background,
// optionally with alpha, by seven upside-down track bars (red, green, blue, hue, luminance,
// saturation, alpha), a colour chart, a screen picker and the ten most recent colours. The sample is
// drawn inside the dialog over a checkerboard, so an alpha value is seen against what lies behind.
#pragma once

#include <QDialog>
#include <array>
#include <string>
#include <vector>

#include "shell/ColourBoxModel.h"

class QLabel;
class QPushButton;
class QToolButton;

namespace kelvarn {

class TProgramState;
class TXTrackBar;
class TSwatch;

class TColourBox : public QDialog {
public:
    explicit TColourBox(TProgramState& state, QWidget* parent = nullptr);

    void PrepareHtmlColour(const std::string& caption, const std::string& hex);
    void PrepareRgbColour(const std::string& caption, const std::string& value);
    void PrepareRgbaColour(const std::string& caption, const std::string& value);
    void PrepareHlsColour(const std::string& caption, const std::string& value);
    void PrepareColourPair(const std::string& caption, const std::string& sampleText, int alpha, TColor background,
                           TColor text);
    void ShowAlpha(bool show);

    TColor GetColour(int which, TColor fallback) const { return model_.GetColour(which, fallback); }
    std::string GetColourString(const std::string& format) const;
    bool Accepted() const { return result() == QDialog::Accepted; }

    TColourBoxModel& Model() { return model_; }
    TXTrackBar* Bar(int channel) const { return bars_[static_cast<std::size_t>(channel - 1)]; }
    QLabel* StatusLabel() const { return status_; }
    QToolButton* HistoryPanel(int index) const { return history_[static_cast<std::size_t>(index)]; }
    bool PickerAvailable() const;
    // A colour from the chart, the history or the screen.
    void PickColour(TColor colour);
    void SetEditMode(int mode);
    void OKClick(bool ok);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AfterPrepare();
    void UpdateControls();
    void BarChanged(int channel, int position);
    void LoadHistory();

    TProgramState& state_;
    TColourBoxModel model_;
    std::array<TXTrackBar*, 7> bars_{};
    std::array<QLabel*, 7> captions_{};
    std::array<QLabel*, 7> numbers_{};
    std::array<QToolButton*, 10> history_{};
    std::vector<std::string> historyColours_;
    QLabel* chart_;
    QLabel* picker_;
    TSwatch* swatch_;
    QPushButton* foreground_;
    QPushButton* background_;
    QLabel* status_;
};

}  // namespace kelvarn
