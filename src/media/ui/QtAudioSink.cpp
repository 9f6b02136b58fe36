#include "media/ui/QtAudioSink.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <cstring>
#include <vector>

namespace kelvarn {

bool TDecoderDevice::OpenOn(TAudioDecoder& decoder) {
    if (isOpen()) close();
    decoder_ = &decoder;
    return open(QIODevice::ReadOnly);
}

qint64 TDecoderDevice::readData(char* data, qint64 maxSize) {
    if (!decoder_ || !decoder_->IsOpen()) return 0;
    const qint64 frameBytes = 2 * static_cast<qint64>(decoder_->Channels());
    const qint64 frames = maxSize / frameBytes;
    if (frames <= 0) return 0;
    // Qt's buffer need not be aligned for 16-bit samples.
    std::vector<std::int16_t> buffer(static_cast<std::size_t>(frames * decoder_->Channels()));
    const std::int64_t got = decoder_->Read(buffer.data(), frames);
    std::memcpy(data, buffer.data(), static_cast<std::size_t>(got * frameBytes));
    return got * frameBytes;
}

QtAudioSink::QtAudioSink() = default;

QtAudioSink::~QtAudioSink() { Stop(); }

bool QtAudioSink::OpenOutput() {
    device_ = QMediaDevices::defaultAudioOutput();
    return !device_.isNull();
}

int QtAudioSink::Start(TAudioDecoder& source, std::string& description) {
    Stop();
    QAudioFormat format;
    format.setSampleRate(source.SampleRate());
    format.setChannelCount(source.Channels());
    format.setSampleFormat(QAudioFormat::Int16);
    if (device_.isNull() || !device_.isFormatSupported(format)) {
        description = "the output does not take " + std::to_string(source.SampleRate()) + " Hz, " +
                      std::to_string(source.Channels()) + " channels";
        return QAudio::OpenError;
    }
    rate_ = source.SampleRate();
    sink_ = std::make_unique<QAudioSink>(device_, format);
    stream_.OpenOn(source);
    sink_->start(&stream_);
    if (const QAudio::Error error = sink_->error(); error != QAudio::NoError) {
        description = error == QAudio::OpenError ? "cannot open the output" : "the output failed";
        Stop();
        return error;
    }
    return 0;
}

void QtAudioSink::Stop() {
    if (sink_) {
        sink_->stop();
        sink_.reset();
    }
    if (stream_.isOpen()) stream_.close();
}

std::int64_t QtAudioSink::Position() const {
    if (!sink_ || rate_ <= 0) return 0;
    return sink_->processedUSecs() * rate_ / 1000000;
}

}  // namespace kelvarn
