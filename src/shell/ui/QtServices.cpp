#include "shell/ui/QtServices.h"

#include <QApplication>
#include <algorithm>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QProgressBar>
#include <QUrl>

#include "platform/ConsoleProgram.h"
#include "shell/Controls.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"
#include "shell/ui/EscapeFilter.h"

namespace kelvarn {

QColor ToQColor(TColor colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

TColor FromQColor(const QColor& colour) {
    return static_cast<TColor>(colour.red()) | (static_cast<TColor>(colour.green()) << 8) |
           (static_cast<TColor>(colour.blue()) << 16);
}

namespace {

QString Caption(std::string_view caption) {
    return caption.empty() ? QStringLiteral("Kelvarn") : QString::fromUtf8(caption.data(), qsizetype(caption.size()));
}
QString Qs(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

QString MessageText(std::string_view text) {
    QString shown = Qs(text);
    shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void TQtMessageSink::ShowMessage(std::string_view text, std::string_view caption, MessageKind kind) {
    QMessageBox::Icon icon = QMessageBox::Information;
    if (kind == MessageKind::Warning) icon = QMessageBox::Warning;
    if (kind == MessageKind::Error) icon = QMessageBox::Critical;
    if (kind == MessageKind::Confirmation) icon = QMessageBox::Question;
    QMessageBox box(icon, Caption(caption), MessageText(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

bool TQtMessageSink::AskYesNo(std::string_view text, std::string_view caption) {
    return QMessageBox::question(QApplication::activeWindow(), Caption(caption), MessageText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

Answer TQtMessageSink::AskYesNoCancel(std::string_view text, std::string_view caption) {
    const auto r = QMessageBox::warning(QApplication::activeWindow(), Caption(caption), MessageText(text),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

void TQtMessageSink::Beep() { QApplication::beep(); }

namespace {


// Does the name lead to a program file that may be run (a path, or a name on the search path)?
bool ResolvesToProgram(const QString& program, const QString& folder) {
    if (!program.contains('/') && !program.contains('\\')) return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo info(QFileInfo(program).isRelative() && !folder.isEmpty() ? folder + "/" + program : program);
    return info.isFile() && info.isExecutable();
}

// A start that failed because there is no such program or it is none (a document, a script without
// an interpreter line): the command goes to the desktop's default program instead.
bool NotAProgram(const QProcess& process) {
    const QString error = process.errorString();
    return !ResolvesToProgram(process.program(), process.workingDirectory()) || error.contains("Exec format error") ||
           error.contains("No such file") || error.contains("Permission denied");
}

}  // namespace

ProcessResult TQtProcessRunner::Run(const ProcessRequest& request) {
    ProcessResult result;
    QStringList arguments;
    for (const std::string& a : request.arguments) arguments << QString::fromStdString(a);
    QProcess process;
    process.setProgram(QString::fromStdString(NativePath(request.program)));
    process.setArguments(arguments);
    if (!request.workingFolder.empty()) process.setWorkingDirectory(QString::fromStdString(NativePath(request.workingFolder)));
    process.setStandardInputFile(QProcess::nullDevice());
    if (!request.captureOutput) {
        qint64 pid = 0;
        result.started = process.startDetached(&pid);
    } else {
        // Standard error is the child's own, as it would be in its console.
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
#ifndef _WIN32
        // Its own group, so that stopping the tool stops what it started too.
        process.setChildProcessModifier([] { platform::StartOwnProcessGroup(); });
#endif
        process.start();
        result.started = process.waitForStarted(-1);
        if (result.started) {
            // The window keeps painting but takes no input; Escape ends the child.
            TEscapeFilter filter;
            qApp->installEventFilter(&filter);
            QByteArray output;
            auto collect = [&] {
                const QByteArray piece = process.readAllStandardOutput();
                const qsizetype room = static_cast<qsizetype>(kMaxCapturedOutput) - output.size();
                if (piece.size() > room) result.truncated = true;
                output.append(piece.left(std::max<qsizetype>(room, 0)));
            };
            QElapsedTimer clock;
            clock.start();
            const qint64 limitMs = static_cast<qint64>(request.timeLimitSeconds) * 1000;
            while (!process.waitForFinished(30)) {
                collect();
                if (process.state() == QProcess::NotRunning) break;
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                const bool late = limitMs > 0 && clock.elapsed() >= limitMs;
                if (filter.escaped || late) {
                    platform::StopProcessGroup(process.processId());
                    process.kill();
                    process.waitForFinished(5000);
                    (late && !filter.escaped ? result.timedOut : result.cancelled) = true;
                    break;
                }
            }
            qApp->removeEventFilter(&filter);
            collect();
            result.exitCode = process.exitCode();
            result.outputLines = SplitLines(DecodeText(output.toStdString()).text);
        }
    }
    if (!result.started) {
        result.notFound = NotAProgram(process);
        result.error = process.errorString().toStdString();
    }
    return result;
}

bool TQtProcessRunner::OpenWithDefault(const std::string& pathOrUrl) {
    if (StartsWithText(pathOrUrl, "http://") || StartsWithText(pathOrUrl, "https://"))
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(pathOrUrl)));
    const QString native = QString::fromStdString(NativePath(pathOrUrl));
    if (!QFileInfo::exists(native)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(native));
}

bool TTooltipFilter::eventFilter(QObject* watched, QEvent* event) {
    if (!enabled && event->type() == QEvent::ToolTip) return true;
    return QObject::eventFilter(watched, event);
}

void CheckAll(QListWidget& list, bool checked) {
    for (int i = 0; i < list.count(); ++i) list.item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void InvertChecks(QListWidget& list) {
    for (int i = 0; i < list.count(); ++i) {
        QListWidgetItem* item = list.item(i);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void InitGauge(QProgressBar& gauge, int count, bool show) {
    gauge.setMinimum(0);
    gauge.setMaximum(std::max(count, 1));
    gauge.setValue(1);
    if (show) {
        gauge.show();
        gauge.raise();
    } else {
        gauge.hide();
    }
}

void ApplyFont(QFont& font, const std::string& which, const TMemIni& ini) {
    const TFontSetting setting =
        ParseFontSetting(ReadSetting(ini, which == "Fixed" ? keys::FontFixed : keys::FontProportional));
    if (!setting.name.empty()) font.setFamily(QString::fromStdString(setting.name));
    font.setPointSize(setting.pointSize);
    if (which == "Fixed") font.setStyleHint(QFont::Monospace);
}

}  // namespace kelvarn
