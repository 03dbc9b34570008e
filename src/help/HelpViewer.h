#pragma once

#include <QWidget>

class QTextBrowser;

// The help window: the HTML help document in a browser of its own, beside the main window and not modal.
class HelpViewer : public QWidget {
    Q_OBJECT

  public:
    explicit HelpViewer(QWidget* owner = nullptr);

    // Places the window beside a window's frame, where the screen leaves room, so both stay in view.
    void placeBeside(const QRect& frame);

    // Shows the document at its contents, or our own notice when it cannot be read, and raises the window.
    void showContents(const QString& path);

    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};
