// Shared test helpers: a temporary folder, and fakes of the desktop services core calls.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/Clock.h"
#include "shell/CommandBus.h"
#include "shell/MessageSink.h"
#include "shell/ProcessRunner.h"
#include "shell/ReportLog.h"

namespace kelvarn::test {

// A fresh folder removed when the test ends.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // Path of a name inside (forward slashes), creating nothing.
    std::string operator/(std::string_view name) const;

private:
    std::string path_;
};

// Writes bytes, creating the folders; fails the test on error.
void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
// Copies a file or a whole folder and makes every copy writable: the real asset folders (the corpus)
// are read-only, and a saved copy must not be refused as a file the user protected.
void CopyWritable(const std::string& from, const std::string& to);

class FakeClock final : public IClock {
public:
    DateTime now = DateTime::FromDate(2011, 3, 4);
    DateTime Now() override { return now; }
    void Set(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
        now = DateTime{y, mo, d, h, mi, s, ms};
    }
    void AdvanceMs(std::int64_t ms) { now = DateTime::FromMilliseconds(now.TotalMilliseconds() + ms); }
    // The local times this clock shows twice: the hour from `repeatedFrom` when set, else none (the
    // stamps of tests do not depend on the machine's time zone).
    std::optional<DateTime> repeatedFrom;
    bool IsRepeated(const DateTime& t) override {
        if (!repeatedFrom) return false;
        const std::int64_t from = repeatedFrom->TotalMilliseconds(), at = t.TotalMilliseconds();
        return at >= from && at < from + 3600000;
    }
};

class RecordingMessageSink final : public IMessageSink {
public:
    std::vector<std::string> messages;  // every text shown or asked
    std::vector<std::string> captions;  // the caption of each message shown
    std::deque<Answer> answers;          // canned answers, Yes when run out
    int beeps = 0;

    void ShowMessage(std::string_view text, std::string_view caption, MessageKind) override {
        messages.emplace_back(text);
        captions.emplace_back(caption);
    }
    bool AskYesNo(std::string_view text, std::string_view) override { return Next(text) == Answer::Yes; }
    Answer AskYesNoCancel(std::string_view text, std::string_view) override { return Next(text); }
    void Beep() override { ++beeps; }

private:
    Answer Next(std::string_view text) {
        messages.emplace_back(text);
        if (answers.empty()) return Answer::Yes;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};

class RecordingCommandBus final : public ICommandBus {
public:
    std::vector<std::pair<int, std::string>> sent;
    void SendCommand(int code, std::string_view text) override { sent.emplace_back(code, std::string(text)); }
};

class RecordingViewer final : public IReportViewer {
public:
    struct Shown {
        std::string title, file;
        std::size_t offset = 0;
    };
    std::vector<Shown> logs;
    std::vector<std::vector<std::string>> texts;
    std::vector<std::string> titles;  // of the texts
    void ShowLog(const std::string& title, const std::string& file, std::size_t offset) override {
        logs.push_back({title, file, offset});
    }
    void ShowReportText(const std::string& title, const std::vector<std::string>& lines) override {
        titles.push_back(title);
        texts.push_back(lines);
    }
};

// Records each process request; starts nothing. `start` false answers as a missing program does;
// `onRun` runs in the request's place (to let a test act as the program).
class FakeRunner final : public IProcessRunner {
public:
    std::vector<ProcessRequest> runs;
    std::vector<std::string> opened;
    std::vector<std::string> output;
    bool start = true;
    bool truncated = false;  // a capture run's output passed the cap
    bool cancelled = false;  // a capture run the user stopped
    std::function<void(const ProcessRequest&)> onRun;
    ProcessResult Run(const ProcessRequest& request) override {
        runs.push_back(request);
        if (onRun) onRun(request);
        ProcessResult r;
        r.started = start;
        r.notFound = !start;
        if (start && request.captureOutput) {
            r.outputLines = output;
            r.truncated = truncated;
            r.cancelled = cancelled;
        }
        return r;
    }
    bool OpenWithDefault(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
};

}  // namespace kelvarn::test
