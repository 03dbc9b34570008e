// The baseline of the start-up benchmark: a bare Qt program that shows a main window with a calendar, with
// the same fonts and translation as Selvane, and ends after its first frame like Selvane does when asked.
#include "platform/ui/AppSetup.h"
#include "platform/ui/FirstFrameProbe.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    appsetup::prepareFonts();
    QApplication app(argc, argv);
    appsetup::applyJapanese(app);
    QMainWindow window;
    window.setCentralWidget(new QCalendarWidget);
    window.resize(711, 470);
    quitAfterFirstFrameIfAsked(&window);
    window.show();
    return app.exec();
}
