#pragma once
// A push button that shows a colour and lets the user pick another one, kept as a
// COLORREF value like the data files store it.
#include <QPushButton>
#include <cstdint>

#include "gui/common/color_ref.h"

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
