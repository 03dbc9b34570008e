#include "platform/ui/Dialogs.h"

#include "platform/ui/ScreenFit.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

void Dialogs::pgError(QWidget* parent, const QString& standardText) {
    message(parent, standardText, QStringLiteral("PG-Error"), Icon::Critical, Buttons::Ok);
}

void Dialogs::plain(QWidget* parent, const QString& text) {
    message(parent, text, kAppTitle, Icon::None, Buttons::Ok);
}

bool Dialogs::askYesNo(QWidget* parent, const QString& text, const QString& title, Buttons buttons) {
    return message(parent, text, title, Icon::Question, buttons) == Answer::Yes;
}

std::optional<Dialogs::FileChoice> Dialogs::chooseFile(QWidget*, const FileRequest&) { return std::nullopt; }

std::optional<int> Dialogs::choose(QWidget*, const QString&, const QString&, const QStringList&) {
    return std::nullopt;
}

std::optional<std::vector<bool>> Dialogs::compare(QWidget*, const QString&, const QString&,
                                                  const QStringList&, const std::vector<Difference>&) {
    return std::nullopt;
}

namespace {

QMessageBox::Icon toQt(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::Exclamation:
            return QMessageBox::Warning;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

Dialogs::Answer QtDialogs::message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                                   Buttons buttons) {
    QMessageBox box(toQt(icon), title, QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    if (buttons != Buttons::Ok) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(buttons == Buttons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Buttons::Ok) return Answer::Ok;
    return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::input(QWidget* parent, const QString& prompt, const QString& title,
                         const QString& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    return ok ? text : QString();
}

std::optional<QString> QtDialogs::saveFile(QWidget* parent, const SaveFileRequest& request) {
    const QString qtFilter = QString(request.filter).section(QLatin1Char('|'), 0, 0);
    QFileDialog dialog(parent, request.title, request.proposedPath, qtFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own overwrite question; the dialog must not ask a second time.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.selectFile(request.proposedPath);
    screenfit::shrinkInto(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
