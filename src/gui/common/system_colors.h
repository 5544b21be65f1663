#pragma once
// The three system colours of the custom-drawn controls (button face, shadow, highlight),
// read from the application palette the first time they are asked for, and the edges
// drawn with them.
#include <QColor>
#include <QPainter>

#include "gui/common/edge_rect.h"

QColor ButtonFaceColor();
QColor ButtonShadowColor();
QColor ButtonHighlightColor();

// One-pixel frame: top and left edges in topLeft, bottom and right edges in bottomRight.
void Draw3dRect(QPainter& painter, const EdgeRect& rect, const QColor& topLeft,
                const QColor& bottomRight);
// A one-pixel sunken frame (shadow above and left, highlight below and right).
void DrawSunkenFrame(QPainter& painter, const EdgeRect& rect);
// The two-pixel sunken edge of a recessed box.
void DrawSunkenEdge(QPainter& painter, const EdgeRect& rect);
