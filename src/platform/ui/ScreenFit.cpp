#include "platform/ui/ScreenFit.h"

#include <QLayout>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace screenfit {
namespace {

// Moves a window's controls, positions and all, onto one page of its own size that a scroll area can hold.
QWidget* takeControls(QWidget* window, const QSize& size) {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    page->setFixedSize(size);
    page->setPalette(window->palette());
    page->setAutoFillBackground(window->autoFillBackground());
    QObjectList children = window->children();  // a copy: each move takes a child from the list
    for (QObject* child : children) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow()) continue;
        const QRect where = control->geometry();
        const bool hidden = control->isHidden();
        control->setParent(page);
        control->setGeometry(where);
        control->setVisible(!hidden);
    }
    return page;
}

}  // namespace

bool fit(QWidget* window) {
    if (window->layout()) window->layout()->activate();
    const QScreen* screen = window->screen();
    if (!screen) return false;
    const QRect area = screen->availableGeometry();
    const QSize room = area.size().shrunkBy(kFrame);
    const QSize designed = window->layout() ? window->sizeHint() : window->size();
    if (designed.width() <= room.width() && designed.height() <= room.height()) return false;

    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("screenFit"));
    scroll->setFrameShape(QFrame::NoFrame);
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        scroll->setWidget(main->takeCentralWidget());  // the menu bar stays above the scrolling part
        main->setCentralWidget(scroll);
        main->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    } else {
        scroll->setWidget(takeControls(window, designed));
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(scroll);
    }
    // A scroll bar takes room across the side that does not overflow.
    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, window);
    QSize size = designed;
    if (size.height() > room.height()) size = QSize(size.width() + bar, room.height());
    if (size.width() > room.width()) size = QSize(room.width(), qMin(size.height() + bar, room.height()));
    window->setFixedSize(size);
    window->move(area.topLeft());
    return true;
}

void shrinkInto(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen || !window->layout()) return;
    const QRect area = screen->availableGeometry();
    const QSize room = area.size().shrunkBy(kFrame);
    window->layout()->activate();
    if (window->minimumSizeHint().width() > room.width() || window->sizeHint().width() > room.width())
        if (auto* sidebar = window->findChild<QWidget*>(QStringLiteral("sidebar"))) sidebar->hide();
    window->layout()->activate();
    const QSize wanted = window->sizeHint();
    if (wanted.width() <= room.width() && wanted.height() <= room.height()) return;
    const QSize size = wanted.boundedTo(room);
    window->resize(size);
    const QSize framed = size.grownBy(kFrame);
    window->move(area.x() + qMax(0, (area.width() - framed.width()) / 2),
                 area.y() + qMax(0, (area.height() - framed.height()) / 2));
}

}  // namespace screenfit
