// The output device through Qt Multimedia: a QAudioSink in pull mode over a QIODevice that reads the
// core decoder as the device asks for data.
#pragma once

#include <QAudioDevice>
#include <QIODevice>
#include <memory>

#include "media/AudioPlayer.h"

class QAudioSink;

namespace kelvarn {

// The decoder's 16-bit frames as a sequential read-only device.
class TDecoderDevice final : public QIODevice {
public:
    explicit TDecoderDevice(QObject* parent = nullptr) : QIODevice(parent) {}
    bool OpenOn(TAudioDecoder& decoder);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    TAudioDecoder* decoder_ = nullptr;
};

class QtAudioSink final : public IAudioSink {
public:
    QtAudioSink();
    ~QtAudioSink() override;
    bool OpenOutput() override;
    int Start(TAudioDecoder& source, std::string& description) override;
    void Stop() override;
    std::int64_t Position() const override;

private:
    QAudioDevice device_;
    std::unique_ptr<QAudioSink> sink_;
    TDecoderDevice stream_;
    int rate_ = 0;
};

}  // namespace kelvarn
