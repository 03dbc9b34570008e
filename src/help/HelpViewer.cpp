#include "help/HelpViewer.h"

#include "platform/ui/ScreenFit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QString missingNotice(const QString& path) {
    return QStringLiteral(
               "<h2>ヘルプファイルを開けません</h2>"
               "<p>ヘルプファイル「selvane3.hlp」が見つからないか、読み込めません。</p>"
               "<p>探した場所：%1</p>"
               "<p>Selvane のプログラムと同じフォルダーにヘルプファイルを置いてから、"
               "もう一度ヘルプを開いて下さい。</p>")
        .arg(path.toHtmlEscaped());
}

}  // namespace

HelpViewer::HelpViewer(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Selvane ﾍﾙﾌﾟ"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(false);  // the help is read here only; nothing is fetched from outside

    auto* bar = new QToolBar(this);
    QAction* contents = bar->addAction(QStringLiteral("目次(&C)"), browser_, &QTextBrowser::home);
    contents->setObjectName(QStringLiteral("helpContents"));
    QAction* back = bar->addAction(QStringLiteral("戻る(&B)"), browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction(QStringLiteral("進む(&N)"), browser_, &QTextBrowser::forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
    // Never larger than the screen leaves room for, so that an 800 x 600 screen shows it whole.
    resize(QSize(640, 600).boundedTo(screen()->availableGeometry().size().shrunkBy(screenfit::kFrame)));
    if (owner) placeBeside(owner->frameGeometry());
}

void HelpViewer::placeBeside(const QRect& main) {
    if (main.isEmpty()) return;
    const QRect screen = this->screen()->availableGeometry();
    int left = main.right() + 8;
    if (left + width() > screen.right() && main.left() - 8 - width() >= screen.left())
        left = main.left() - 8 - width();
    left = qBound(screen.left(), left, qMax(screen.left(), screen.right() - width()));
    move(left, qMax(screen.top(), main.top()));
}

void HelpViewer::showContents(const QString& path) {
    const QFileInfo file(path);
    browser_->clearHistory();
    if (file.isFile() && file.isReadable()) {
        const QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
        if (browser_->source() == url)
            browser_->reload();
        else
            browser_->setSource(url, QTextDocument::HtmlResource);
        browser_->verticalScrollBar()->setValue(0);  // the contents open the document
        browser_->horizontalScrollBar()->setValue(0);
    } else {
        browser_->setSource(QUrl());
        browser_->setHtml(missingNotice(QDir::toNativeSeparators(file.absoluteFilePath())));
    }
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}
