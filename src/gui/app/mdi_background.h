#pragma once
// CMdiBackground: the MDI client area of the main frame, painted with the product banner
// behind the child windows.
#include <QMdiArea>

class CMdiBackground : public QMdiArea {
    Q_OBJECT
public:
    explicit CMdiBackground(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
