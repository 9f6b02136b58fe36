// One Kelvarn per user. The first start listens on a local socket; a later start sends its command
// line there as one hand-over frame, waits for the acknowledgement, and ends. A lock file closes the
// race between two starts at the same moment, and a socket left by a crashed instance is removed.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/Handover.h"

class QLocalSocket;

namespace kelvarn {

class TSingleInstance final : public QObject {
public:
    explicit TSingleInstance(std::string serverName, QObject* parent = nullptr);
    ~TSingleInstance() override;

    enum class TOutcome {
        First,       // no instance runs: this one listens now
        HandedOver,  // a running instance took the message: end with 0
        NoAnswer,    // a running instance did not acknowledge in time: end with 1
    };
    // The check of a start. `ackTimeoutMs` bounds the wait for the acknowledgement.
    TOutcome Claim(const THandoverMessage& message, int ackTimeoutMs = 10000);

    // Messages that reach the first instance, delivered after the sender has its acknowledgement.
    // Those that arrive before a handler is set (the program still starting, a start-up warning on
    // screen) wait for it instead of being dropped.
    void SetMessageHandler(std::function<void(const THandoverMessage&)> handler);
    const std::string& ServerName() const { return name_; }
    bool Listening() const { return server_ && server_->isListening(); }

private:
    bool Listen();
    void Accept();
    void Read(QLocalSocket* socket);

    void Deliver(const THandoverMessage& message);

    std::string name_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void(const THandoverMessage&)> onMessage_;
    std::vector<THandoverMessage> waiting_;
};

}  // namespace kelvarn
