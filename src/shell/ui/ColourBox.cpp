#include "shell/ui/ColourBox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCursor>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/ProgramState.h"
#include "shell/ui/QtServices.h"
#include "shell/ui/ScreenPicker.h"
#include "shell/ui/XEdit.h"

namespace kelvarn {

// The sample: the original colour on the left, the edited one on the rest, both over a checkerboard
// so that alpha shows.
class TSwatch : public QWidget {
public:
    using QWidget::QWidget;
    QColor original, text, background;
    QString sample;
    int alpha = 255;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int cell = 8;
        for (int y = 0; y < height(); y += cell)
            for (int x = 0; x < width(); x += cell)
                p.fillRect(x, y, cell, cell, ((x / cell + y / cell) % 2) ? QColor(204, 204, 204) : Qt::white);
        const int split = width() / 4;
        QColor o = original;
        o.setAlpha(alpha);
        p.fillRect(0, 0, split, height(), o);
        QColor b = background;
        b.setAlpha(alpha);
        if (sample.isEmpty()) {
            QColor t = text;
            t.setAlpha(alpha);
            p.fillRect(split, 0, width() - split, height(), t);
        } else {
            p.fillRect(split, 0, width() - split, height(), b);
            QColor t = text;
            t.setAlpha(alpha);
            p.setPen(t);
            p.drawText(QRect(split, 0, width() - split, height()), Qt::AlignCenter | Qt::TextWordWrap, sample);
        }
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

namespace {

const char* kBarNames[] = {"tbRed", "tbGreen", "tbBlue", "tbHue", "tbLum", "tbSat", "tbAlpha"};
const char* kCaptions[] = {"&Red", "&Green", "&Blue", "&Hue", "&Lum", "&Sat", "&Alpha"};
const char* kNumberNames[] = {"RedL", "GreenL", "BlueL", "HueL", "LumL", "SatL", "AlphaL"};

// The chart: hue across, luminance down, full saturation.
QImage MakeChart(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const TRgb rgb = HlsToRgb({x * kHlsMax / width, kHlsMax - (y * kHlsMax / (height - 1)), kHlsMax});
            image.setPixel(x, y, qRgb(rgb.red, rgb.green, rgb.blue));
        }
    return image;
}

}  // namespace

TColourBox::TColourBox(TProgramState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName("ColourBox");
    setWindowTitle("Colour Selector");
    auto* root = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    root->addLayout(top);

    auto* bars = new QGridLayout;
    bars->setHorizontalSpacing(6);
    for (int i = 0; i < 7; ++i) {
        const int channel = i + 1;
        auto* caption = new QLabel(kCaptions[i], this);
        auto* bar = new TXTrackBar(Qt::Vertical, this);
        bar->setObjectName(kBarNames[i]);
        bar->setProperty("tag", channel);
        const int max = TColourBoxModel::ChannelMax(channel);
        bar->setRange(channel == chHue ? -1 : 0, channel == chHue ? max + 1 : max);
        bar->setInvertedAppearance(true);  // position 0 at the top: the top is the highest value
        bar->setMinimumHeight(200);
        bar->setFixedWidth(28);
        caption->setBuddy(bar);
        auto* number = new QLabel("0", this);
        number->setObjectName(kNumberNames[i]);
        number->setAlignment(Qt::AlignCenter);
        number->setMinimumWidth(28);
        bars->addWidget(caption, 0, i, Qt::AlignHCenter);
        bars->addWidget(bar, 1, i, Qt::AlignHCenter);
        bars->addWidget(number, 2, i, Qt::AlignHCenter);
        bars_[static_cast<std::size_t>(i)] = bar;
        captions_[static_cast<std::size_t>(i)] = caption;
        numbers_[static_cast<std::size_t>(i)] = number;
        if (channel != chAlpha)
            bar->OnCustomDraw = [this, channel, bar](QPainter& p, TTrackBarPart part, bool& defaultDraw, const QRect&) {
                if (part != tbpChannel) {
                    defaultDraw = true;
                    return;
                }
                // The channel as a ramp: each line the current colour with this bar's value there.
                const int h = bar->height() - 8;
                const QRect ramp(bar->width() / 2 - 5, 4, 10, h);
                for (int y = 0; y < h; ++y) {
                    const int position = bar->minimum() + (bar->maximum() - bar->minimum()) * y / std::max(h - 1, 1);
                    const int value = std::clamp(TColourBoxModel::ChannelMax(channel) - position, 0,
                                                 TColourBoxModel::ChannelMax(channel));
                    p.fillRect(ramp.left(), ramp.top() + y, ramp.width(), 1, ToQColor(model_.RampColour(channel, value)));
                }
                p.setPen(palette().color(QPalette::Dark));
                p.drawRect(ramp.adjusted(-1, -1, 0, 0));
            };
        connect(bar, &QSlider::valueChanged, this, [this, channel](int position) { BarChanged(channel, position); });
    }
    top->addLayout(bars);

    auto* right = new QVBoxLayout;
    chart_ = new QLabel(this);
    chart_->setObjectName("ColourSelector");
    chart_->setPixmap(QPixmap::fromImage(MakeChart(240, 120)));
    chart_->setFixedSize(240, 120);
    chart_->setCursor(Qt::CrossCursor);
    chart_->installEventFilter(this);
    right->addWidget(chart_);

    swatch_ = new TSwatch(this);
    swatch_->setObjectName("Hole");
    swatch_->setFixedSize(240, 70);
    right->addWidget(swatch_);

    auto* historyRow = new QHBoxLayout;
    historyRow->setSpacing(2);
    for (int i = 0; i < 10; ++i) {
        auto* panel = new QToolButton(this);
        panel->setObjectName(QString("UserColour%1").arg(i + 1));
        panel->setFixedSize(22, 22);
        panel->setAutoFillBackground(true);
        connect(panel, &QToolButton::clicked, this, [this, i] {
            if (static_cast<std::size_t>(i) < historyColours_.size())
                if (auto c = HexToColor(historyColours_[static_cast<std::size_t>(i)])) PickColour(*c);
        });
        history_[static_cast<std::size_t>(i)] = panel;
        historyRow->addWidget(panel);
    }
    right->addLayout(historyRow);

    auto* modeRow = new QHBoxLayout;
    picker_ = new QLabel("pick", this);
    picker_->setObjectName("ColourPicker");
    picker_->setAlignment(Qt::AlignCenter);
    picker_->setFrameShape(QFrame::Panel);
    picker_->setFrameShadow(QFrame::Raised);
    picker_->setFixedSize(48, 26);
    picker_->setAutoFillBackground(true);
    new TScreenPicker(picker_, [this](const QColor& c) { PickColour(FromQColor(c)); }, false);
    foreground_ = new QPushButton("&Text", this);
    foreground_->setObjectName("bForeground");
    background_ = new QPushButton("Bac&kground", this);
    background_->setObjectName("bBackground");
    auto* group = new QButtonGroup(this);
    for (QPushButton* b : {foreground_, background_}) {
        b->setCheckable(true);
        group->addButton(b);
    }
    foreground_->setChecked(true);
    connect(foreground_, &QPushButton::clicked, this, [this] { SetEditMode(1); });
    connect(background_, &QPushButton::clicked, this, [this] { SetEditMode(2); });
    modeRow->addWidget(picker_);
    modeRow->addStretch();
    modeRow->addWidget(foreground_);
    modeRow->addWidget(background_);
    right->addLayout(modeRow);
    right->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("bOK");
    QPushButton* cancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("bCancel");
    connect(ok, &QPushButton::clicked, this, [this] { OKClick(true); });
    connect(cancel, &QPushButton::clicked, this, [this] { OKClick(false); });
    right->addWidget(buttons);
    top->addLayout(right);

    status_ = new QLabel(this);
    status_->setObjectName("StatusLabel");
    root->addWidget(status_);

    PrepareHtmlColour("Colour Selector", "#000000");
}

void TColourBox::AfterPrepare() {
    setWindowTitle(model_.caption.empty() ? QString("Colour Selector") : QString::fromStdString(model_.caption));
    ShowAlpha(model_.showAlpha);
    foreground_->setVisible(model_.showModeButtons);
    background_->setVisible(model_.showModeButtons);
    foreground_->setChecked(true);
    swatch_->sample = QString::fromStdString(model_.sampleText);
    swatch_->original = ToQColor(model_.original);
    UpdateControls();
}

void TColourBox::PrepareHtmlColour(const std::string& caption, const std::string& hex) {
    model_.PrepareHtmlColour(caption, hex);
    AfterPrepare();
}
void TColourBox::PrepareRgbColour(const std::string& caption, const std::string& value) {
    model_.PrepareRgbColour(caption, value);
    AfterPrepare();
}
void TColourBox::PrepareRgbaColour(const std::string& caption, const std::string& value) {
    model_.PrepareRgbaColour(caption, value);
    AfterPrepare();
}
void TColourBox::PrepareHlsColour(const std::string& caption, const std::string& value) {
    model_.PrepareHlsColour(caption, value);
    AfterPrepare();
}
void TColourBox::PrepareColourPair(const std::string& caption, const std::string& sampleText, int alpha,
                                   TColor background, TColor text) {
    model_.PrepareColourPair(caption, sampleText, alpha, background, text);
    AfterPrepare();
}

void TColourBox::ShowAlpha(bool show) {
    model_.showAlpha = show;
    for (QWidget* w : {static_cast<QWidget*>(Bar(chAlpha)), static_cast<QWidget*>(captions_[6]),
                       static_cast<QWidget*>(numbers_[6])})
        w->setVisible(show);
}

std::string TColourBox::GetColourString(const std::string& format) const {
    return model_.GetColourString(format, *state_.Messages);
}

void TColourBox::UpdateControls() {
    model_.busy = true;
    for (int channel = chRed; channel <= chAlpha; ++channel) {
        TXTrackBar* bar = Bar(channel);
        bar->setValue(model_.PositionOf(channel));
        if (channel != chAlpha) bar->update();  // the ramps depend on the whole colour
        numbers_[static_cast<std::size_t>(channel - 1)]->setText(QString::number(model_.ChannelValue(channel)));
    }
    status_->setText(QString::fromStdString(model_.StatusLine()));
    if (model_.editMode == 2)
        swatch_->background = ToQColor(model_.Current());
    else
        swatch_->text = ToQColor(model_.Current());
    if (model_.editMode == 2)
        swatch_->text = ToQColor(model_.textStore);
    else
        swatch_->background = ToQColor(model_.backgroundStore);
    swatch_->alpha = model_.alpha;
    swatch_->update();
    model_.busy = false;
}

void TColourBox::BarChanged(int channel, int position) {
    if (model_.busy) return;
    const int kept = model_.SetFromPosition(channel, position);
    UpdateControls();
    if (kept != position) {
        model_.busy = true;
        Bar(channel)->setValue(kept);  // the hue bar wrapped
        model_.busy = false;
    }
}

void TColourBox::PickColour(TColor colour) {
    model_.PickColour(colour);
    UpdateControls();
}

void TColourBox::SetEditMode(int mode) {
    model_.SetEditMode(mode);
    foreground_->setChecked(mode != 2);
    background_->setChecked(mode == 2);
    UpdateControls();
}

void TColourBox::LoadHistory() {
    historyColours_ = LoadColourHistory(state_.Settings());
    for (std::size_t i = 0; i < history_.size(); ++i) {
        const QColor c = ToQColor(HexToColor(historyColours_[i]).value_or(0xFFFFFF));
        history_[i]->setStyleSheet(QString("background-color: %1; border: 1px solid #808080;").arg(c.name()));
        history_[i]->setToolTip(QString::fromStdString(historyColours_[i]));
    }
}

void TColourBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LoadHistory();
    picker_->setEnabled(PickerAvailable());
    picker_->setToolTip(picker_->isEnabled() ? QString() : QString("The desktop gives no screen pixels here"));
}

bool TColourBox::PickerAvailable() const { return kelvarn::PickerAvailable(); }

void TColourBox::OKClick(bool ok) {
    if (ok) {
        model_.Commit();
        historyColours_ = LoadColourHistory(state_.Settings());
        PushColourHistory(historyColours_, model_.CurrentHex());
        SaveColourHistory(state_.Settings(), historyColours_);
        accept();
    } else {
        reject();
    }
}

bool TColourBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == chart_ && event->type() == QEvent::MouseButtonPress) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const QImage image = chart_->pixmap().toImage();
        if (image.rect().contains(at)) {
            const QColor c = image.pixelColor(at);
            if (c != palette().color(QPalette::Window)) PickColour(FromQColor(c));
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kelvarn
