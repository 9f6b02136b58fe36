// The desktop services core calls through interfaces, done with Qt: message boxes, processes, the
// colour conversion at the display edge, and the small control helpers every window uses.
#pragma once

#include <QColor>
#include <QObject>
#include <string>

#include "shell/MessageSink.h"
#include "shell/ProcessRunner.h"
#include "shell/Strings.h"

class QFont;
class QListWidget;
class QProgressBar;
class QWidget;

namespace kelvarn {

class TMemIni;

// The one conversion between the core's TColor ($00BBGGRR) and QColor.
QColor ToQColor(TColor colour);
TColor FromQColor(const QColor& colour);

// A message text as a message box shows it: message texts are written as the program's captions
// are, "&&" standing for one "&", and a carriage return alone breaks the line.
QString MessageText(std::string_view text);

// Modal message boxes over the active window.
class TQtMessageSink final : public IMessageSink {
public:
    void ShowMessage(std::string_view text, std::string_view caption, MessageKind kind) override;
    bool AskYesNo(std::string_view text, std::string_view caption) override;
    Answer AskYesNoCancel(std::string_view text, std::string_view caption) override;
    void Beep() override;
};

// Programs run with an argument list, never through a shell; only http and https addresses and
// existing files are opened with the desktop's default program.
class TQtProcessRunner final : public IProcessRunner {
public:
    ProcessResult Run(const ProcessRequest& request) override;
    bool OpenWithDefault(const std::string& pathOrUrl) override;
};

// Drops tooltip events while hints are off ("Tooltips").
class TTooltipFilter final : public QObject {
public:
    using QObject::QObject;
    bool enabled = true;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Check-list helpers.
void CheckAll(QListWidget& list, bool checked);
void InvertChecks(QListWidget& list);
// A progress gauge at 1 of `count`, shown and raised when asked, else hidden.
void InitGauge(QProgressBar& gauge, int count, bool show);
// Sets a font from the "Fonts" setting `which` ("Fixed" or "Proportional").
void ApplyFont(QFont& font, const std::string& which, const TMemIni& settings);

}  // namespace kelvarn
