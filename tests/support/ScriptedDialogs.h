#pragma once

#include "platform/ui/Dialogs.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Records every box the program shows and answers from queues, so tests can check the exact text, title,
// icon and buttons of each question and play every path without a human.
class ScriptedDialogs : public Dialogs {
  public:
    struct Call {
        enum Kind { Message, Input, SaveFile, ChooseFile, Choose, Compare } kind = Message;
        QString text;  // message text, input prompt, or dialog title for a file dialog
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString initial;  // input box default, or proposed path of a file dialog
        QString filter;
        QStringList
            options;  // the filters of a file dialog, the choices of a list, or the headings of a comparison
        std::vector<Difference> items;  // a comparison's items
    };

    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& initial) override;
    std::optional<QString> saveFile(QWidget* parent, const SaveFileRequest& request) override;
    std::optional<FileChoice> chooseFile(QWidget* parent, const FileRequest& request) override;
    std::optional<int> choose(QWidget* parent, const QString& text, const QString& title,
                              const QStringList& options) override;
    std::optional<std::vector<bool>> compare(QWidget* parent, const QString& text, const QString& title,
                                             const QStringList& headings,
                                             const std::vector<Difference>& items) override;

    QList<Call> calls;
    QQueue<Answer> answers;                          // for Yes/No questions
    QQueue<QString> inputs;                          // for input boxes
    QQueue<std::optional<QString>> saveFiles;        // for file dialogs (nothing = Cancel)
    QQueue<std::optional<FileChoice>> chosenFiles;   // for file dialogs with filters (nothing = Cancel)
    QQueue<std::optional<int>> choices;              // for lists of choices (nothing = Cancel)
    QQueue<std::optional<std::vector<bool>>> ticks;  // for comparisons (nothing = Cancel)
    int unanswered = 0;  // questions asked with an empty queue (answered No / Cancel)

    // The texts of all calls, for short assertions.
    QStringList texts() const;
    void clear();
};
