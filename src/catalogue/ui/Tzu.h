// TTZU: the utility runner's window side. Requests wait 50 ms on a single-shot timer so the caller's
// event returns first; while a job runs the application shows the busy cursor, restored whatever the
// job did.
#pragma once

#include <QObject>
#include <QTimer>

#include "catalogue/UtilityRunner.h"

namespace kelvarn {

class TProgramState;

class TTZU final : public QObject {
public:
    explicit TTZU(TProgramState& state, QObject* parent = nullptr);
    ~TTZU() override;

    TUtilityRunner& Runner() { return runner_; }
    void TzuRequest(int job, const std::string& argument) { runner_.TzuRequest(job, argument); }
    // The utility can be run: "%trainz%\bin\TrainzUtil.exe" is a file the user may execute.
    bool IsConsoleOpen() const;
    QTimer& Timer() { return timer_; }

private:
    void TrainzutilTimerFire();
    void SetBusy(bool busy);

    TUtilityRunner runner_;
    QTimer timer_;
    bool busy_ = false;
};

}  // namespace kelvarn
