#include "support/ScriptedDialogs.h"

Dialogs::Answer ScriptedDialogs::message(QWidget*, const QString& text, const QString& title, Icon icon,
                                         Buttons buttons) {
    calls.append({Call::Message, text, title, icon, buttons, {}, {}, {}, {}});
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (answers.isEmpty()) {
        ++unanswered;
        return Answer::No;
    }
    return answers.dequeue();
}

QString ScriptedDialogs::input(QWidget*, const QString& prompt, const QString& title,
                               const QString& initial) {
    calls.append({Call::Input, prompt, title, Icon::None, Buttons::Ok, initial, {}, {}, {}});
    if (inputs.isEmpty()) {
        ++unanswered;
        return QString();
    }
    return inputs.dequeue();
}

std::optional<QString> ScriptedDialogs::saveFile(QWidget*, const SaveFileRequest& request) {
    calls.append({Call::SaveFile,
                  request.title,
                  request.title,
                  Icon::None,
                  Buttons::Ok,
                  request.proposedPath,
                  request.filter,
                  {},
                  {}});
    if (saveFiles.isEmpty()) {
        ++unanswered;
        return std::nullopt;
    }
    return saveFiles.dequeue();
}

std::optional<Dialogs::FileChoice> ScriptedDialogs::chooseFile(QWidget*, const FileRequest& request) {
    calls.append({Call::ChooseFile,
                  request.title,
                  request.title,
                  Icon::None,
                  Buttons::Ok,
                  request.proposedPath,
                  {},
                  request.filters,
                  {}});
    if (chosenFiles.isEmpty()) {
        ++unanswered;
        return std::nullopt;
    }
    return chosenFiles.dequeue();
}

std::optional<int> ScriptedDialogs::choose(QWidget*, const QString& text, const QString& title,
                                           const QStringList& options) {
    calls.append({Call::Choose, text, title, Icon::None, Buttons::Ok, {}, {}, options, {}});
    if (choices.isEmpty()) {
        ++unanswered;
        return std::nullopt;
    }
    return choices.dequeue();
}

std::optional<std::vector<bool>> ScriptedDialogs::compare(QWidget*, const QString& text, const QString& title,
                                                          const QStringList& headings,
                                                          const std::vector<Difference>& items) {
    calls.append({Call::Compare, text, title, Icon::None, Buttons::Ok, {}, {}, headings, items});
    if (ticks.isEmpty()) {
        ++unanswered;
        return std::nullopt;
    }
    return ticks.dequeue();
}

QStringList ScriptedDialogs::texts() const {
    QStringList out;
    for (const Call& call : calls) out.append(call.text);
    return out;
}

void ScriptedDialogs::clear() {
    calls.clear();
    unanswered = 0;
}
