#pragma once

#include <QEventLoop>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <functional>

// The last step of drawing: an update the widgets asked for by now is drawn too, and a round
// trip to the display server sees it all through.
inline void seeThrough(QWidget *window) {
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
    QGuiApplication::sync();
}

// When a window shown a moment ago is drawn: the first expose that finds it on screen
// paints its widgets into the backing store and flushes it to the window; then any update
// the widgets asked for by then is drawn too, and a round trip to the display server
// (QGuiApplication::sync) sees it through with all of it. Calling repaint() instead would
// time a paint into a window that is not on screen yet. Called before the event loop runs
// again after the show: the expose comes through it.
class WhenDrawn : public QObject {
public:
    WhenDrawn(QWidget *window, std::function<void()> done)
        : window_(window), done_(std::move(done)) {
        window->windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // Once the expose has been handled, which paints.
            QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void finish() {
        seeThrough(window_);
        done_();
        deleteLater();
    }

    QWidget *window_;
    std::function<void()> done_;
};

inline void waitUntilDrawn(QWidget *window) {
    QEventLoop loop;
    new WhenDrawn(window, [&] { loop.quit(); });
    loop.exec();
}

// Hides the window and waits until the display server has taken it off the screen, so that
// the next sample starts from nothing in flight.
inline void hideAndSettle(QWidget *window) {
    window->hide();
    while (window->windowHandle() && window->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QGuiApplication::sync();
}
