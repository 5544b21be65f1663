#pragma once
// Colours as the data files and the settings store them: Windows COLORREF values
// (0x00BBGGRR).
#include <QColor>
#include <cstdint>

QColor ColorFromRef(std::uint32_t colorRef);
std::uint32_t ColorToRef(const QColor& color);

// Contrast ratio of two colours by relative luminance: 1 (equal) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// A colour for text or a thin mark on background: the colour itself when it stands out
// enough to read (a contrast ratio of at least 3), else the same hue darkened on a light
// background or lightened on a dark one until it does. A white or yellow curve colour on a
// read-out box stays readable this way.
QColor LegibleOn(const QColor& colour, const QColor& background);
