#include "app/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QLockFile>
#include <QTimer>

namespace kelvarn {

namespace {
constexpr int kConnectTimeoutMs = 1000;
constexpr int kLockTimeoutMs = 15000;
}  // namespace

TSingleInstance::TSingleInstance(std::string serverName, QObject* parent)
    : QObject(parent), name_(std::move(serverName)) {}

TSingleInstance::~TSingleInstance() = default;

TSingleInstance::TOutcome TSingleInstance::Claim(const THandoverMessage& message, int ackTimeoutMs) {
    const QString name = QString::fromStdString(name_);
    // Held from the look for a running instance until this one listens, so two starts at the same
    // moment cannot both become the first.
    QLockFile lock(QDir::temp().filePath(name + ".lock"));
    lock.setStaleLockTime(kLockTimeoutMs);
    lock.tryLock(kLockTimeoutMs);

    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(kConnectTimeoutMs)) {
        lock.unlock();
        const std::string frame = EncodeHandover(message);
        socket.write(frame.data(), static_cast<qint64>(frame.size()));
        socket.flush();
        std::string received;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ackTimeoutMs) {
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(static_cast<int>(ackTimeoutMs - timer.elapsed()))) {
                if (socket.state() != QLocalSocket::ConnectedState) break;
                continue;
            }
            received += socket.readAll().toStdString();
            const THandoverResult ack = DecodeHandover(received);
            if (ack.status == THandoverStatus::Complete && ack.message.code == kHandoverAckCode)
                return TOutcome::HandedOver;
            if (ack.status == THandoverStatus::Bad) break;
        }
        return TOutcome::NoAnswer;
    }
    // Nobody answers: a socket left behind by an instance that died is removed before listening.
    Listen();
    return TOutcome::First;
}

bool TSingleInstance::Listen() {
    const QString name = QString::fromStdString(name_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        QLocalServer::removeServer(name);
        if (!server_->listen(name)) return false;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] { Accept(); });
    return true;
}

void TSingleInstance::Accept() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        socket->setParent(this);
        socket->setProperty("buffer", QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) Read(socket);
    }
}

void TSingleInstance::Read(QLocalSocket* socket) {
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    const THandoverResult result = DecodeHandover(std::string_view(buffer.constData(), std::size_t(buffer.size())));
    if (result.status == THandoverStatus::NeedMore) {
        socket->setProperty("buffer", buffer);
        return;
    }
    socket->setProperty("buffer", QByteArray());
    if (result.status == THandoverStatus::Bad) {
        socket->abort();  // not one of ours
        return;
    }
    // Acknowledge on receipt, so a long folder scan cannot keep the second start waiting.
    const std::string ack = EncodeHandover({kHandoverAckCode, ""});
    socket->write(ack.data(), static_cast<qint64>(ack.size()));
    socket->flush();
    const THandoverMessage message = result.message;
    QTimer::singleShot(0, this, [this, message] { Deliver(message); });
}

void TSingleInstance::Deliver(const THandoverMessage& message) {
    if (onMessage_)
        onMessage_(message);
    else
        waiting_.push_back(message);
}

void TSingleInstance::SetMessageHandler(std::function<void(const THandoverMessage&)> handler) {
    onMessage_ = std::move(handler);
    std::vector<THandoverMessage> waiting;
    waiting.swap(waiting_);
    for (const THandoverMessage& message : waiting) Deliver(message);
}

}  // namespace kelvarn
