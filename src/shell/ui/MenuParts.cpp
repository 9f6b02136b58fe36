#include "shell/ui/MenuParts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

QMenu* BuildContextMenu(QWidget* owner, const char* name, int group, std::span<const TMenuItemRow> rows,
                        std::function<void(int)> execute, std::function<void()> validate) {
    auto* menu = new QMenu(owner);
    menu->setObjectName(name);
    menu->setProperty("tag", group);
    for (const TMenuItemRow& row : rows) {
        QAction* action = menu->addAction(row.caption);
        action->setObjectName(row.name);
        action->setProperty("tag", row.tag);
        action->setVisible(!row.hidden);
        const int tag = row.tag;
        QObject::connect(action, &QAction::triggered, owner, [execute, tag] { execute(tag); });
    }
    QObject::connect(menu, &QMenu::aboutToShow, owner, [validate] { validate(); });
    return menu;
}

QToolButton* AddToolButton(QWidget* row, QHBoxLayout* layout, const TButtonRow& b) {
    auto* button = new QToolButton(row);
    button->setObjectName(b.name);
    button->setText(QString::fromUtf8(b.glyph));
    button->setToolTip(b.hint);
    button->setProperty("tag", b.tag);
    button->setAutoRaise(true);
    button->setFixedSize(26, 22);
    layout->addWidget(button);
    return button;
}

QToolButton* AddHeaderButton(QWidget* header, QBoxLayout* layout, const THeaderButtonRow& b) {
    auto* button = new QToolButton(header);
    button->setObjectName(b.name);
    button->setText(b.caption);
    button->setToolTip(b.hint);
    button->setProperty("tag", b.tag);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(button);
    return button;
}

QAction* FindAction(const QMenu* menu, const QString& name) {
    for (QAction* action : menu->actions())
        if (action->objectName() == name) return action;
    return nullptr;
}

void ApplyMenuStates(const QMenu* menu, const QWidget* frame, const std::vector<TMenuItemState>& states) {
    for (const TMenuItemState& s : states) {
        const QString name = Qs(s.name);
        if (QAction* action = FindAction(menu, name)) {
            if (s.visible) action->setVisible(*s.visible);
            if (s.enabled) action->setEnabled(*s.enabled);
            if (s.checked) action->setChecked(*s.checked);
            if (s.caption) action->setText(Qs(*s.caption));
        } else if (QWidget* widget = frame->findChild<QWidget*>(name)) {
            if (s.visible) widget->setVisible(*s.visible);
            if (s.enabled) widget->setEnabled(*s.enabled);
            if (s.hint) widget->setToolTip(Qs(*s.hint));
        }
    }
}

}  // namespace kelvarn
