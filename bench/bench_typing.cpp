// A keystroke in a diary of 1 MB on one line, as the program runs it (the edit guard taking the entry at each
// edit), against the same keystroke in a bare text box holding the same line: the text layout that Qt redoes
// for the whole paragraph at each change is the floor both stand on.
#include "BenchSupport.h"
#include "SilentDialogs.h"
#include "data/DataFile.h"
#include "data/Recovery.h"
#include "data/SettingsStore.h"
#include "main/EditGuard.h"
#include "main/frmMain.h"
#include "platform/ui/AppSetup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextEdit>
#include <functional>
#include <vector>

namespace {

const QDate kDay(2001, 5, 20);

// One line of Japanese prose, 1 MB in UTF-8.
QString megabyteLine() {
    const QString sentence = QStringLiteral("今日は朝から体が重く、基礎体温も少し高めだった。");
    QString line;
    while (line.toUtf8().size() < qsizetype(1024) * 1024) line += sentence.repeated(1000);
    return line;
}

// Typing one character at the end of the box and painting it.
std::function<void()> keystroke(QTextEdit* box) {
    box->moveCursor(QTextCursor::End);
    return [box] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
        box->viewport()->repaint();
    };
}

}  // namespace

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    const QString line = megabyteLine();

    QTextEdit bare;
    bare.resize(697, 209);  // the diary box's designed size
    bare.setPlainText(line);
    bare.show();

    QTemporaryDir dir;
    bench::makeDataFile(dir.filePath("selvane.mdb"), 1, kDay.toString(Qt::ISODate));
    {
        auto db = DataFile::open(dir.filePath("selvane.mdb"));
        DayEntry entry;
        entry.date = kDay;
        entry.tempText = QStringLiteral("36.5");
        entry.diary = line;
        db->write(entry, db->findRow(kDay));
    }
    SilentDialogs dialogs;
    SettingsStore settings(dir.filePath("SELVANE.ini"));
    Module1 module;
    Services services;
    services.dialogs = &dialogs;
    services.settings = &settings;
    services.appFolder = dir.path();
    services.today = [] { return kDay; };
    frmMain window(module, services);
    mainwindow::EditGuard guard(window, module, dir.filePath(recovery::kFileName));
    window.Form_Load();
    window.show();
    const std::vector<double> medians = bench::interleavedMedianMicros(
        11, {keystroke(window.findChild<QTextEdit*>(QStringLiteral("rtbDiary"))), keystroke(&bare)});
    bench::report(QStringLiteral("keystroke, 1 MB one-line diary vs bare box"), medians[0], medians[1],
                  QStringLiteral("us"), 1.2);
    guard.release();
    return 0;
}
