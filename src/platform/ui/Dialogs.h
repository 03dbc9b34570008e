#pragma once

#include "platform/core/PgError.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

class QWidget;

// Every question, message, input box and file dialog of the program goes through this seam, so the
// windows can be driven by a script in tests and show real Qt dialogs in production.
class Dialogs {
  public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    // YesNoDefaultNo: いいえ is the default button (Enter), for a question whose Yes cannot be undone.
    enum class Buttons { Ok, YesNo, YesNoDefaultNo };
    enum class Answer { Ok, Yes, No };

    struct SaveFileRequest {
        QString title;
        QString filter;        // "label|pattern"
        QString proposedPath;  // folder and file name shown first
    };

    virtual ~Dialogs() = default;

    // Texts may hold a lone carriage return as their line break.
    virtual Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                           Buttons buttons) = 0;
    // The text entered, or an empty text on Cancel (as a platform input box answers).
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title,
                          const QString& initial) = 0;
    // The chosen path, or nothing on Cancel. The dialog itself never asks before replacing a file.
    virtual std::optional<QString> saveFile(QWidget* parent, const SaveFileRequest& request) = 0;

    // A file to write or to read, with a choice of filters (Qt's "label (*.csv)" form): the path and the
    // filter chosen, or nothing on Cancel. Never asks before replacing a file. Nothing where not offered.
    struct FileRequest {
        QString title;
        QStringList filters;
        QString proposedPath;
        bool save = true;  // false: a file to read, which must exist
    };
    struct FileChoice {
        QString path;
        int filter = 0;
    };
    virtual std::optional<FileChoice> chooseFile(QWidget* parent, const FileRequest& request);
    // A text above a list of choices, with OK and Cancel: the index chosen (0 when the list is empty), or
    // nothing on Cancel. Nothing where not offered. A choice whose parts are separated by tabs shows them in
    // columns that line up.
    virtual std::optional<int> choose(QWidget* parent, const QString& text, const QString& title,
                                      const QStringList& options);

    // Her choice between what she has and what another has, item by item (a day of her diary and the file's):
    // a text above the items, each its caption and the lines of what differs, a line's parts separated by
    // tabs (what it is, hers, the other's) under the three headings. She ticks the items where the other's is
    // to be taken, one by one or all at once; none is ticked at first. For each item, whether it is ticked;
    // nothing on Cancel. Nothing where not offered.
    struct Difference {
        QString caption;
        QStringList lines;
    };
    virtual std::optional<std::vector<bool>> compare(QWidget* parent, const QString& text,
                                                     const QString& title, const QStringList& headings,
                                                     const std::vector<Difference>& items);

    // Shorthands for the boxes the program shows again and again.
    void pgError(QWidget* parent, const QString& standardText);
    void pgError(QWidget* parent, const PgError& error) { pgError(parent, error.standardText()); }
    void plain(QWidget* parent, const QString& text);
    bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                  Buttons buttons = Buttons::YesNo);

    // A handler's error trap: runs work, and shows a PgError it throws in a "PG-Error" box with the standard
    // text for its number (none when she was shown its words already). True when the work ran to its end.
    template <typename Work>
    bool trapped(QWidget* parent, Work&& work) {
        try {
            std::forward<Work>(work)();
            return true;
        } catch (const PgError& error) {
            if (!error.shown()) pgError(parent, error);
            return false;
        }
    }
};

// The title of message boxes that have none of their own.
inline const QString kAppTitle = QStringLiteral("Selvane");

// Production implementation over QMessageBox, QInputDialog and QFileDialog.
class QtDialogs : public Dialogs {
  public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& initial) override;
    std::optional<QString> saveFile(QWidget* parent, const SaveFileRequest& request) override;
    // These two in ChoiceDialogs.cpp.
    std::optional<FileChoice> chooseFile(QWidget* parent, const FileRequest& request) override;
    std::optional<int> choose(QWidget* parent, const QString& text, const QString& title,
                              const QStringList& options) override;
    // In CompareDialog.cpp.
    std::optional<std::vector<bool>> compare(QWidget* parent, const QString& text, const QString& title,
                                             const QStringList& headings,
                                             const std::vector<Difference>& items) override;
};
