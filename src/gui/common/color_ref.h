#pragma once
// Colours as the data files and the settings store them: Windows COLORREF values
// (0x00BBGGRR).
#include <QColor>
#include <cstdint>

QColor ColorFromRef(std::uint32_t colorRef);
std::uint32_t ColorToRef(const QColor& color);
