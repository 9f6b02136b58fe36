#include "catalogue/ui/Tzu.h"

#include <QApplication>
#include <QCursor>

#include "platform/ConsoleProgram.h"

namespace kelvarn {

TTZU::TTZU(TProgramState& state, QObject* parent) : QObject(parent), runner_(state) {
    timer_.setSingleShot(true);
    timer_.setInterval(kUtilityTimerMs);
    connect(&timer_, &QTimer::timeout, this, [this] { TrainzutilTimerFire(); });
    runner_.StartTimer = [this] { timer_.start(); };
    runner_.SetBusyCursor = [this](bool busy) { SetBusy(busy); };
}

TTZU::~TTZU() { SetBusy(false); }

bool TTZU::IsConsoleOpen() const { return platform::IsRunnableFile(runner_.UtilityProgram()); }

void TTZU::TrainzutilTimerFire() {
    timer_.stop();
    runner_.TimerFire();
}

void TTZU::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace kelvarn
