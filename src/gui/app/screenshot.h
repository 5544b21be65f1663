#pragma once
// Renders a window as the user would see it into a PNG, whether or not a display exists.
#include <QSize>
#include <QString>

class QWidget;

// Lays the window out at size, lets pending work settle and writes the PNG. False when the
// file cannot be written.
bool SaveScreenshot(QWidget* window, QSize size, const QString& pngPath);
