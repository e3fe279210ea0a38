#pragma once

#include <QFont>
#include <QWidget>

class QEvent;
class QLabel;
class QPushButton;

// Positions and sizes are given in twips; 15 twips make one pixel.
constexpr int fromTwips(int twips) { return (twips + 7) / 15; }

inline void placeTwips(QWidget *widget, int left, int top, int width, int height) {
    widget->setGeometry(fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height));
}

// A control with its name, placed in twips.
template <typename Widget>
Widget *control(QWidget *parent, const char *name, int left, int top, int width, int height) {
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    placeTwips(widget, left, top, width, height);
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top,
              int width, int height);

// Enter presses it while it has the focus, as Space does.
QPushButton *button(QWidget *parent, const char *name, const QString &caption, int left, int top,
                    int width, int height);

// A release of the Delete key with no Shift, Ctrl or Alt held.
bool isPlainDeleteRelease(const QEvent *event);

QFont arial(qreal points, bool bold = false);
// The font of every control that names none.
inline QFont defaultControlFont() { return arial(8.25); }
