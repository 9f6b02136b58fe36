#include "validation/ui/ScriptEngine.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QStatusBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>

#include "catalogue/OutlineDocument.h"
#include "shell/CommandBus.h"
#include "shell/ProgramState.h"
#include "shell/ui/Alert.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/Viewer.h"
#include "validation/ScriptUnit.h"
#include "validation/ui/QtScriptHost.h"
#include "validation/ui/ScriptReview.h"
#include "validation/ui/ScriptRows.h"
#include "validation/ui/SelectOptionDialog.h"

namespace kelvarn {

TScriptEngine::TScriptEngine(TProgramState& state, QWidget* mainWindow)
    : QObject(mainWindow),
      state_(state),
      mainWindow_(mainWindow),
      dialog_(std::make_unique<TSelectOptionDialog>(mainWindow)),
      host_(std::make_unique<TQtScriptHost>(state, *dialog_)) {
    host_->Parent = mainWindow;
    unit_ = std::make_unique<TScriptUnit>(state, *host_);
    host_->Unit = unit_.get();
}

TScriptEngine::~TScriptEngine() = default;

void TScriptEngine::SetReview(IScriptReview* review) { host_->Review = review; }

void TScriptEngine::Run(const std::function<void()>& operation) {
    // Each line lets the windows work, so a menu, a key, a hand-over or a callback can ask for a
    // run inside the running one: it would change the outline under it or end its script mode.
    if (unit_->RefuseWhileRunning()) return;
    struct TRunScope {
        TQtScriptHost& host;
        explicit TRunScope(TQtScriptHost& h) : host(h) { host.BeginRun(); }
        ~TRunScope() { host.EndRun(); }
    } scope(*host_);
    operation();
    if (changedInRun_ && !unit_->Running()) {
        changedInRun_ = false;
        MirrorMessages();
    }
    if (closePending_ && !unit_->Running() && mainWindow_) {
        closePending_ = false;
        QTimer::singleShot(0, mainWindow_, [window = mainWindow_] { window->close(); });
    }
}

void TScriptEngine::MirrorMessages() {
    if (viewer_ && host_->Alert) viewer_->ShowRunMessages(host_->Alert->Text());
}

bool TScriptEngine::eventFilter(QObject* watched, QEvent* event) {
    // The run's dialogs and its outline must not vanish under it: the window closes when it ends.
    if (watched == mainWindow_ && event->type() == QEvent::Close && unit_->Running()) {
        closePending_ = true;
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TScriptEngine::Wire(TMain& main, TViewer* viewer) {
    TQtScriptHost& host = *host_;
    TScriptUnit& unit = *unit_;
    host.Alert = main.Frame(TFrameId::Outline)->Alert();
    host.Tree = main.Frame(TFrameId::Outline)->Widget();
    host.Viewer = viewer;
    viewer_ = viewer;
    // The report viewer covers the config pane's strip: while a run goes on, what it says there is
    // repeated in the viewer a few times a second (copying at every line would slow long runs).
    mirror_ = new QTimer(this);
    mirror_->setSingleShot(true);
    mirror_->setInterval(150);
    connect(mirror_, &QTimer::timeout, this, [this] { MirrorMessages(); });
    if (host.Alert)
        connect(host.Alert->Memo()->document(), &QTextDocument::contentsChanged, this, [this] {
            if (!unit_->Running()) return;
            changedInRun_ = true;
            if (viewer_ && viewer_->isVisible() && !mirror_->isActive()) mirror_->start();
        });
    gauge_ = new QProgressBar(&main);
    gauge_->setObjectName("ScriptGauge");
    gauge_->setMaximumWidth(160);
    gauge_->hide();
    main.statusBar()->addPermanentWidget(gauge_);
    host.Gauge = gauge_;
    main.installEventFilter(this);

    TDispatcher& d = main.Dispatcher();
    d.RegisterCallback(ccRunScript, [this, &unit](const std::string& text) {
        Run([&] {
            if (std::string message = unit.RunScriptRequest(text, true); !message.empty()) unit.LogMessage(0, message);
        });
    });

    d.RegisterCommand(1007, [this, &unit](const std::string&) { Run([&] { unit.ReplicateToTaggedAssets(); }); });
    d.RegisterCommand(1601, [this, &unit](const std::string&) { Run([&] { unit.RunScriptFile(); }); });
    d.RegisterCommand(1604, [this, &unit](const std::string&) { Run([&] { unit.EmbedScript(); }); });
    d.RegisterCommand(1605, [this, &unit](const std::string&) { Run([&] { unit.EditScriptFile(); }); });
    d.RegisterCommand(1606, [this, &unit](const std::string&) { Run([&] { unit.RunScriptOnTaggedAssets(); }); });
    d.RegisterCommand(1607, [this, &unit](const std::string&) { Run([&] { unit.ExecuteScriptCommands(); }); });
    // Script items of the Scripts menu: a file of "%scripts%", an embedded script, a file of a
    // sub-folder ("folder\caption").
    auto named = [this, &unit](const std::string& name) {
        Run([&] {
            if (std::string message = unit.RunNamedScript(name, true); !message.empty()) unit.LogMessage(0, message);
        });
    };
    d.RegisterCommand(1610, named);
    d.RegisterCommand(1612, named);
    d.RegisterCommand(1611, [this, &unit](const std::string& name) { Run([&] { unit.RunEmbeddedScript(name, true); }); });
    d.RegisterCommand(2316, [this, &unit](const std::string&) {
        if (SelectedEmbeddedScript) Run([&] { unit.RunEmbeddedScript(SelectedEmbeddedScript(), true); });
    });

    // Every dialog of a run activates the main window again: the start-up scripts wait, silently.
    main.ActivateHooks.push_back([this, &unit] {
        if (!unit.Running()) Run([&] { unit.RunAutorunScripts(); });
    });
    main.AbortScripts = [&unit] { unit.Stop(); };
    RegisterScriptFileRows(d, state_, *this);
    RegisterBuilderRows(d, state_, *this);
    auto editorBusy = main.EditorBusy;
    main.EditorBusy = [editorBusy, &unit] { return unit.ScriptMode() || (editorBusy && editorBusy()); };
}

}  // namespace kelvarn
