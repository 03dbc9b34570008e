// The file dialog with a choice of filters and the list of choices, as Qt shows them.
#include "platform/ui/Dialogs.h"
#include "platform/ui/ScreenFit.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

std::optional<Dialogs::FileChoice> QtDialogs::chooseFile(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent, request.title, request.proposedPath);
    dialog.setNameFilters(request.filters);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks its own overwrite question; the dialog must not ask a second time.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (request.save && !request.proposedPath.isEmpty()) dialog.selectFile(request.proposedPath);
    screenfit::shrinkInto(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FileChoice{dialog.selectedFiles().constFirst(),
                      int(qMax<qsizetype>(0, request.filters.indexOf(dialog.selectedNameFilter())))};
}

std::optional<int> QtDialogs::choose(QWidget* parent, const QString& text, const QString& title,
                                     const QStringList& options) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setObjectName(QStringLiteral("ChoiceDialog"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')), &dialog);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    QTreeWidget* list = nullptr;
    if (!options.isEmpty()) {
        // One row a choice; the tab-separated parts of a choice in columns that line up.
        list = new QTreeWidget(&dialog);
        list->setObjectName(QStringLiteral("lstChoices"));
        list->setAccessibleName(QString(text).replace(QLatin1Char('\r'), QLatin1Char(' ')));
        list->setHeaderHidden(true);
        list->setRootIsDecorated(false);
        list->setAllColumnsShowFocus(true);
        int columns = 1;
        for (const QString& option : options) {
            const QStringList parts = option.split(QLatin1Char('\t'));
            columns = qMax(columns, int(parts.size()));
            new QTreeWidgetItem(list, parts);
        }
        list->setColumnCount(columns);
        int width = 2 * list->frameWidth() + 24;
        for (int c = 0; c < columns; ++c) {
            list->resizeColumnToContents(c);
            list->setColumnWidth(c, list->columnWidth(c) + 16);
            width += list->columnWidth(c);
        }
        list->setMinimumWidth(width);
        list->setCurrentItem(list->topLevelItem(0));
        // As tall as its rows (up to a dozen), so a choice of two is not lost in an empty box.
        const int row = list->sizeHintForRow(0);
        list->setFixedHeight(row * int(qMin<qsizetype>(options.size(), 12)) + 2 * list->frameWidth() + 4);
        layout->addWidget(list);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (list) QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return list ? qMax(0, list->indexOfTopLevelItem(list->currentItem())) : 0;
}
