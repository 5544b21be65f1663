#pragma once
// One pane of the main status bar: it asks for its fixed width but gives way when the
// window is narrower, so the panes never force the window wider than the screen.
#include <QLabel>

class CStatusPane : public QLabel {
    Q_OBJECT
public:
    CStatusPane(int width, bool bordered, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

private:
    int width_;
};
