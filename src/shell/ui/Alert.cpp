#include "shell/ui/Alert.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolButton>

#include "shell/Colours.h"
#include "shell/Controls.h"
#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

TAlert::TAlert(QWidget* parent) : QFrame(parent) {
    setObjectName("AlertPanel");
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    left_ = new QWidget(this);
    left_->setObjectName("left");
    left_->setFixedWidth(25);
    auto* leftLayout = new QVBoxLayout(left_);
    leftLayout->setContentsMargins(2, 2, 2, 2);
    alertButton_ = new QToolButton(left_);
    alertButton_->setObjectName("AlertButton");
    alertButton_->setText(QStringLiteral("\u00D7"));
    alertButton_->setToolTip("Close Message");
    alertButton_->setAutoRaise(true);
    alertButton_->setCheckable(true);
    leftLayout->addWidget(alertButton_);
    leftLayout->addStretch();

    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName("AlertMemo");
    memo_->setReadOnly(true);
    memo_->setFrameShape(QFrame::NoFrame);
    memo_->setContextMenuPolicy(Qt::NoContextMenu);  // the strip shows no context menu
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo_->document()->setDocumentMargin(1);

    right_ = new QWidget(this);
    right_->setObjectName("right");
    auto* rightLayout = new QHBoxLayout(right_);
    rightLayout->setContentsMargins(2, 2, 2, 2);
    yes_ = new QPushButton("Yes", right_);
    yes_->setObjectName("bYes");
    no_ = new QPushButton("No", right_);
    no_->setObjectName("bNo");
    for (QPushButton* b : {yes_, no_}) {
        b->setToolTip("Close Message");
        rightLayout->addWidget(b);
    }
    right_->setFixedWidth(0);
    right_->hide();

    layout->addWidget(left_);
    layout->addWidget(memo_, 1);
    layout->addWidget(right_);

    connect(alertButton_, &QToolButton::clicked, this, [this] { Close(); });
    connect(yes_, &QPushButton::clicked, this, [this] { Close(); });
    connect(no_, &QPushButton::clicked, this, [this] { Close(); });
    setAutoFillBackground(true);
    ApplyHeight(0);
}

void TAlert::SetColours(const QColor& text, const QColor& background) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Base, background);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::WindowText, text);
    setPalette(p);
    memo_->setPalette(p);
    memo_->clear();
    right_->setFixedWidth(0);
    right_->hide();
    lineHeight_ = 0;
    ApplyHeight(0);
}

namespace {

// Message text as the strip holds it: every line end one "\n", none at the end.
QString StripText(const std::string& text) {
    std::string shown = ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\r", "\n");
    while (!shown.empty() && shown.back() == '\n') shown.pop_back();
    return QString::fromStdString(shown);
}

}  // namespace

void TAlert::SetWrap(bool wordWrap) {
    const auto mode = wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap;
    if (memo_->lineWrapMode() != mode) memo_->setLineWrapMode(mode);
}

void TAlert::BeepIf(int beep) {
    if (beep == 0) return;
    IMessageSink* sink = beepSink_ ? beepSink_ : Globals().Messages;
    sink->Beep();
}

void TAlert::ShowAlert(const std::string& text, bool wordWrap, int beep) {
    const QString shown = StripText(text);
    if (shown.isEmpty()) return;
    left_->setFixedWidth(25);
    left_->show();
    right_->setFixedWidth(0);
    right_->hide();
    alertButton_->setChecked(false);
    SetWrap(wordWrap);
    memo_->setPlainText(shown);
    AlertResize();
    BeepIf(beep);
}

void TAlert::AppendAlert(const std::string& text, bool wordWrap, int beep) {
    if (!IsOpen() || memo_->document()->isEmpty()) {
        ShowAlert(text, wordWrap, beep);
        return;
    }
    const QString shown = StripText(text);
    if (shown.isEmpty()) return;
    if (right_->isVisible()) {
        right_->setFixedWidth(0);
        right_->hide();
    }
    const bool rewrap = memo_->lineWrapMode() != (wordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    SetWrap(wordWrap);
    const QTextBlock last = memo_->document()->lastBlock();
    memo_->appendPlainText(shown);
    if (rewrap) {
        AlertResize();
    } else {
        // Only the new lines are counted, and none once the strip has its largest height.
        if (lines_ <= kAlertMaxLines) lines_ += WrappedLineCount(last.next(), kAlertMaxLines - lines_);
        ApplyLines();
    }
    BeepIf(beep);
}

void TAlert::Close() {
    alertButton_->setChecked(true);
    memo_->clear();
    ApplyHeight(0);
    AlertResize();
}

std::string TAlert::Text() const { return memo_->toPlainText().toStdString(); }

bool TAlert::Scrolls() const { return memo_->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded; }

int TAlert::WrappedLineCount(QTextBlock from, int stopAbove) const {
    // Before the strip is first shown its memo has no width yet: take what the frame gives it.
    int width = memo_->viewport()->width();
    if (!isVisible() && parentWidget()) width = parentWidget()->width() - 25 - 2 * memo_->frameWidth();
    width = std::max(width, 50);
    const bool wraps = memo_->lineWrapMode() != QPlainTextEdit::NoWrap;
    int lines = 0;
    for (QTextBlock block = from; block.isValid() && lines <= stopAbove; block = block.next()) {
        if (!wraps) {
            ++lines;
            continue;
        }
        QTextLayout layout(block.text(), memo_->font());
        layout.beginLayout();
        int count = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width - 4);
            ++count;
        }
        layout.endLayout();
        lines += std::max(count, 1);
    }
    return lines;
}

void TAlert::AlertResize() {
    if (resizing_) return;
    resizing_ = true;
    const bool hasText = !memo_->document()->isEmpty();
    lines_ = hasText ? WrappedLineCount(memo_->document()->begin(), kAlertMaxLines) : 0;
    resizing_ = false;
    ApplyLines();
}

void TAlert::ApplyLines() {
    if (resizing_) return;
    resizing_ = true;
    if (lineHeight_ == 0) lineHeight_ = QFontMetrics(memo_->font()).boundingRect("Ag").height();
    const TAlertSize size = AlertHeight(lines_, lineHeight_);
    const auto policy = size.scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    if (memo_->verticalScrollBarPolicy() != policy) memo_->setVerticalScrollBarPolicy(policy);
    if (height_ != size.height || isHidden() == (size.height > 0)) ApplyHeight(size.height);
    if (size.scrolls) {
        memo_->moveCursor(QTextCursor::End);
        memo_->ensureCursorVisible();
        memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
    }
    resizing_ = false;
}

void TAlert::ApplyHeight(int height) {
    height_ = height;
    setFixedHeight(height);
    setVisible(height > 0);
}

void TAlert::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    if (height_ > 0) AlertResize();
}

void ApplyAlertScheme(TAlert& alert, const TMemIni& settings) {
    const TMemIni* ini = &settings;
    alert.SetColours(ToQColor(SchemeColour(ini, skAlert, true)), ToQColor(SchemeColour(ini, skAlert, false)));
}

}  // namespace kelvarn
