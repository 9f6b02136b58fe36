// A message sink that says nothing and answers No, but keeps the first message: for code that reports
// what a reader would have told the user in its own lines instead.
#pragma once

#include <string>
#include <string_view>

#include "shell/MessageSink.h"

namespace kelvarn {

class FirstMessageSink final : public IMessageSink {
public:
    std::string Text;
    void ShowMessage(std::string_view text, std::string_view, MessageKind) override {
        if (Text.empty()) Text = text;
    }
    bool AskYesNo(std::string_view, std::string_view) override { return false; }
    Answer AskYesNoCancel(std::string_view, std::string_view) override { return Answer::Cancel; }
    void Beep() override {}
};

}  // namespace kelvarn
