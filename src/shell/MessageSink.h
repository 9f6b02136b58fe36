// How core reaches the user: modal messages and questions. The Qt side shows message boxes; tests
// give canned answers and record what was said.
#pragma once

#include <string>
#include <string_view>

namespace kelvarn {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class Answer { Yes, No, Cancel };

class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // A modal message with an OK button. An empty caption means the program's name.
    virtual void ShowMessage(std::string_view text, std::string_view caption = {},
                             MessageKind kind = MessageKind::Information) = 0;
    virtual bool AskYesNo(std::string_view text, std::string_view caption = {}) = 0;
    virtual Answer AskYesNoCancel(std::string_view text, std::string_view caption = {}) = 0;
    virtual void Beep() = 0;
};

// Says nothing and answers No: for code that runs with nobody to ask.
class SilentMessageSink final : public IMessageSink {
public:
    void ShowMessage(std::string_view, std::string_view, MessageKind) override {}
    bool AskYesNo(std::string_view, std::string_view) override { return false; }
    Answer AskYesNoCancel(std::string_view, std::string_view) override { return Answer::Cancel; }
    void Beep() override {}
};

}  // namespace kelvarn
