#include "gui/controls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

QLabel *label(QWidget *parent, const char *name, const QString &text, int left, int top,
              int width, int height) {
    auto *result = control<QLabel>(parent, name, left, top, width, height);
    result->setText(text);
    return result;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, int left, int top,
                    int width, int height) {
    auto *result = control<QPushButton>(parent, name, left, top, width, height);
    result->setText(caption);
    result->setAutoDefault(true);
    return result;
}

QFont arial(qreal points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool isPlainDeleteRelease(const QEvent *event) {
    if (event->type() != QEvent::KeyRelease)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    return key->key() == Qt::Key_Delete &&
           !(key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
}
