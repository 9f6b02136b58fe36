#include "shell/ui/QtServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QUrl>

#include "shell/Controls.h"
#include "shell/PathText.h"
#include "shell/ProgramState.h"
#include "shell/SettingsKeys.h"
#include "shell/Text.h"

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

ProcessResult TQtProcessRunner::Run(const ProcessRequest& request) {
    ProcessResult result;
    QStringList arguments;
    for (const std::string& a : request.arguments) arguments << QString::fromStdString(a);
    QProcess process;
    if (!request.workingFolder.empty()) process.setWorkingDirectory(QString::fromStdString(NativePath(request.workingFolder)));
    const QString program = QString::fromStdString(NativePath(request.program));
    if (!request.captureOutput) {
        qint64 pid = 0;
        result.started = QProcess::startDetached(program, arguments, process.workingDirectory(), &pid);
    } else {
        process.start(program, arguments);
        result.started = process.waitForStarted();
        if (result.started) {
            process.closeWriteChannel();
            process.waitForFinished(-1);
            result.exitCode = process.exitCode();
            result.outputLines = SplitLines(DecodeText(process.readAllStandardOutput().toStdString()).text);
        }
    }
    if (!result.started) {
        const QFileInfo info(program);
        result.notFound = !info.exists() || !info.isExecutable();
        result.error = "Unable to start " + request.program;
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
