#include "gui/app/empty_realtime_view.h"

CEmptyRealtimeView::CEmptyRealtimeView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

bool CEmptyRealtimeView::HandlesCommand(int) const { return false; }

void CEmptyRealtimeView::ExecuteCommand(int) {}
