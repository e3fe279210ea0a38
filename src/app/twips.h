#pragma once

#include <QFont>
#include <QRect>
#include <QWidget>

// Positions and sizes are given in twips; 15 twips make one pixel.
constexpr int fromTwips(int twips) { return (twips + 7) / 15; }

inline void placeTwips(QWidget *widget, int left, int top, int width, int height) {
    widget->setGeometry(fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height));
}

inline QFont arial(qreal points, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The font of every control that names none.
inline QFont defaultControlFont() { return arial(8.25); }
