#include "gui/app/status_pane.h"

CStatusPane::CStatusPane(int width, bool bordered, QWidget* parent)
    : QLabel(parent), width_(width) {
    if (bordered) setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize CStatusPane::sizeHint() const { return {width_, QLabel::sizeHint().height()}; }

QSize CStatusPane::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }
