// The single-instance hand-over with real processes of the built program. Each test uses its own
// socket name (KELVARN_INSTANCE_NAME), so a running Kelvarn is never disturbed, and a copy of the
// program in a temporary folder, so its settings, logs and backups stay there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QUuid>

#include "app/SingleInstance.h"
#include "shell/Dispatcher.h"
#include "shell/ProgramState.h"
#include "support/TestSupport.h"

namespace kelvarn {
namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "kelvarn-instance-test";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

class SingleInstance : public ::testing::Test {
protected:
    SingleInstance() {
        App();
        name = "kelvarn-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces).left(12).toStdString();
        program = QString::fromStdString(dir / "kelvarn");
        QFile::copy(KELVARN_PROGRAM, program);
        QFile::setPermissions(program, QFile::permissions(KELVARN_PROGRAM));
    }
    ~SingleInstance() override {
        for (QProcess* p : started) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
        // A killed instance leaves its socket file in the temporary folder.
        QLocalServer::removeServer(QString::fromStdString(name));
    }

    QProcess* Start(const QStringList& arguments, const QString& folder) {
        auto* p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KELVARN_INSTANCE_NAME", QString::fromStdString(name));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(folder);
        p->start(program, arguments);
        started.push_back(p);
        return p;
    }
    // Runs the event loop (so an in-process receiver answers) until the process ends.
    static bool WaitFinished(QProcess* p, int ms) {
        QElapsedTimer t;
        t.start();
        while (p->state() != QProcess::NotRunning && t.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            p->waitForFinished(20);
        }
        return p->state() == QProcess::NotRunning;
    }
    static void Pump(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // Waits until a first instance listens and acknowledges a message (one that does nothing).
    bool WaitListening(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            QLocalSocket socket;
            socket.connectToServer(QString::fromStdString(name));
            if (socket.waitForConnected(500)) {
                const std::string frame = EncodeHandover({ccNone, ""});
                socket.write(frame.data(), qint64(frame.size()));
                socket.flush();
                std::string reply;
                while (socket.waitForReadyRead(5000)) {
                    reply += socket.readAll().toStdString();
                    if (DecodeHandover(reply).status == THandoverStatus::Complete) return true;
                }
            }
            Pump(200);
        }
        return false;
    }

    test::TempDir dir;
    std::string name;
    QString program;
    std::vector<QProcess*> started;
};

TEST_F(SingleInstance, SecondStartHandsAnAbsoluteFolderOverAndEnds) {
    TProgramState state;
    TDispatcher receiver(state);
    std::vector<std::string> loaded;
    std::vector<std::pair<int, std::string>> messages;
    receiver.OnLoadFolder = [&](const std::string& folder) { loaded.push_back(folder); };
    TSingleInstance first(name);
    ASSERT_EQ(first.Claim({ccInstance, ""}), TSingleInstance::TOutcome::First);
    first.SetMessageHandler([&](const THandoverMessage& m) {
        messages.emplace_back(m.code, m.text);
        receiver.ReceiveCommand(m.code, m.text);
    });

    QDir(QString::fromStdString(dir.Path())).mkpath("work/rel/dir");
    QProcess* second = Start({"-CMP", "rel/dir"}, QString::fromStdString(dir / "work"));
    ASSERT_TRUE(WaitFinished(second, 60000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    Pump(100);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, ccInstance);
    EXPECT_EQ(loaded, std::vector<std::string>{dir / "work/rel/dir"});
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir / "kelvarn.ini")));  // it never came up

    // A folder only: handed over, and nothing is loaded.
    QProcess* third = Start({"plain-folder"}, QString::fromStdString(dir / "work"));
    ASSERT_TRUE(WaitFinished(third, 60000));
    EXPECT_EQ(third->exitCode(), 0);
    Pump(100);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].second, "plain-folder ");
    EXPECT_EQ(loaded.size(), 1u);
}

// The first start is still coming up (its start-up warning on screen) when the second hands over.
TEST_F(SingleInstance, AHandOverBeforeTheWindowIsUpWaitsForIt) {
    TSingleInstance first(name);
    ASSERT_EQ(first.Claim({ccInstance, ""}), TSingleInstance::TOutcome::First);
    QDir(QString::fromStdString(dir.Path())).mkpath("work/assets");
    QProcess* second = Start({"-CMP", QString::fromStdString(dir / "work/assets")}, QString::fromStdString(dir / "work"));
    ASSERT_TRUE(WaitFinished(second, 60000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    Pump(100);
    std::vector<std::string> texts;
    first.SetMessageHandler([&](const THandoverMessage& m) { texts.push_back(m.text); });
    EXPECT_EQ(texts, std::vector<std::string>{"-CMP " + dir / "work/assets"});
}

TEST_F(SingleInstance, StaleSocketOfACrashedInstanceIsReplaced) {
    QProcess* crashed = Start({}, QString::fromStdString(dir.Path()));
    ASSERT_TRUE(WaitListening(60000));
    crashed->kill();  // no clean-up: its socket stays behind
    ASSERT_TRUE(WaitFinished(crashed, 10000));
    ASSERT_TRUE(QFile::exists(QDir::temp().filePath(QString::fromStdString(name))));  // the stale socket

    QProcess* next = Start({}, QString::fromStdString(dir.Path()));
    ASSERT_TRUE(WaitListening(60000)) << next->readAllStandardError().toStdString();
    EXPECT_EQ(next->state(), QProcess::Running);
    QProcess* handed = Start({"-CMP", "x"}, QString::fromStdString(dir.Path()));
    ASSERT_TRUE(WaitFinished(handed, 60000));
    EXPECT_EQ(handed->exitCode(), 0);
    EXPECT_EQ(next->state(), QProcess::Running);
}

TEST_F(SingleInstance, TwoStartsAtOnceGiveOneInstance) {
    QProcess* a = Start({}, QString::fromStdString(dir.Path()));
    QProcess* b = Start({}, QString::fromStdString(dir.Path()));
    QElapsedTimer t;
    t.start();
    while (a->state() != QProcess::NotRunning && b->state() != QProcess::NotRunning && t.elapsed() < 60000) {
        a->waitForFinished(50);
        b->waitForFinished(50);
    }
    QProcess* ended = a->state() == QProcess::NotRunning ? a : b;
    QProcess* running = ended == a ? b : a;
    ASSERT_EQ(ended->state(), QProcess::NotRunning);
    EXPECT_EQ(ended->exitCode(), 0) << ended->readAllStandardError().toStdString();
    Pump(1000);
    EXPECT_EQ(running->state(), QProcess::Running);
    EXPECT_TRUE(WaitListening(30000));
}

}  // namespace
}  // namespace kelvarn
