#pragma once
// A push button that shows a colour and lets the user pick another one. Colours are kept
// as Windows COLORREF values (0x00BBGGRR), the form the data files store.
#include <QPushButton>
#include <cstdint>

QColor ColorFromRef(std::uint32_t colorRef);
std::uint32_t ColorToRef(const QColor& color);

class CColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColorButton(QWidget* parent = nullptr);
    std::uint32_t ColorRef() const { return colorRef_; }
    void SetColorRef(std::uint32_t colorRef);

private:
    void Choose();
    std::uint32_t colorRef_ = 0;
};
