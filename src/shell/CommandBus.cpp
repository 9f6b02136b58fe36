#include "shell/CommandBus.h"

namespace kelvarn {

void TCommandBus::SendCommand(int code, std::string_view text) {
    if (receiver_) receiver_->ReceiveCommand(code, std::string(text));
}

}  // namespace kelvarn
