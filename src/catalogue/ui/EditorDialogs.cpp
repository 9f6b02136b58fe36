#include "catalogue/ui/EditorDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "shell/ProgramState.h"
#include "shell/Text.h"
#include "shell/ui/QtServices.h"

namespace kelvarn {

namespace {

QString Qs(const std::string& text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

}  // namespace

std::optional<std::string> TSimpleEditorDialogs::InputLine(const std::string& caption, const std::string& prompt,
                                                           const std::string& value, const std::string& shownPath) {
    QDialog dialog(parent_);
    dialog.setObjectName("InputLine");
    dialog.setWindowTitle(Qs(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* path = new QLabel(Qs(shownPath), &dialog);
    path->setObjectName("ShownPath");
    auto* label = new QLabel(Qs(prompt), &dialog);
    auto* edit = new QLineEdit(Qs(value), &dialog);
    edit->setObjectName("StringValue");
    edit->selectAll();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(path);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    dialog.resize(400, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return edit->text().toStdString();
}

void TSimpleEditorDialogs::ShowText(int size, int, const std::vector<std::string>& lines, const std::string& caption) {
    QDialog dialog(parent_);
    dialog.setObjectName("TextPage");
    dialog.setWindowTitle(Qs(caption));
    auto* layout = new QVBoxLayout(&dialog);
    auto* memo = new QPlainTextEdit(&dialog);
    memo->setObjectName("TextMemo");
    QFont font = memo->font();
    ApplyFont(font, "Fixed", state_.Settings());
    memo->setFont(font);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setPlainText(Qs(JoinLines(lines, "\n")));
    memo->moveCursor(QTextCursor::Start);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(memo);
    layout->addWidget(buttons);
    if (size > 0) dialog.resize(size / 1000, size % 1000);
    dialog.exec();
}

}  // namespace kelvarn
