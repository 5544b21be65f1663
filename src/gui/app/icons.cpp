#include "gui/app/icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <functional>

#include "gui/common/command_ids.h"

namespace {

constexpr int kIconSize = 18;

QIcon Painted(const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

QIcon Standard(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

void DrawTrend(QPainter& painter) {
    painter.fillRect(1, 2, 16, 14, Qt::black);
    painter.setPen(QPen(QColor(0, 220, 0), 1.5));
    const QPointF points[] = {{2, 12}, {5, 8}, {8, 10}, {11, 5}, {14, 7}, {16, 4}};
    painter.drawPolyline(points, 6);
}

void DrawPreview(QPainter& painter) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(2, 1, 10, 14);
    painter.setBrush(QColor(200, 230, 255));
    painter.setPen(QPen(Qt::darkBlue, 1.5));
    painter.drawEllipse(QPointF(11, 10), 4, 4);
    painter.drawLine(QPointF(14, 13), QPointF(17, 17));
}

void DrawList(QPainter& painter) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 2, 16, 14);
    painter.setPen(Qt::darkGray);
    for (int y = 6; y < 16; y += 3) painter.drawLine(2, y, 16, y);
    painter.drawLine(6, 3, 6, 15);
}

void DrawPanel(QPainter& painter) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawRect(1, 2, 16, 14);
    painter.fillRect(11, 3, 6, 13, QColor(120, 160, 220));
}

void DrawBars(QPainter& painter) {
    painter.setPen(Qt::NoPen);
    const QColor colours[] = {Qt::red, QColor(0, 160, 0), Qt::blue, QColor(200, 140, 0)};
    const int heights[] = {9, 14, 6, 11};
    for (int i = 0; i < 4; ++i)
        painter.fillRect(2 + i * 4, 17 - heights[i], 3, heights[i], colours[i]);
}

void DrawEnvelope(QPainter& painter) {
    painter.setPen(QPen(Qt::red, 1.5));
    const QPointF line[] = {{1, 12}, {5, 11}, {7, 11}, {8, 2}, {9, 11}, {12, 12}, {17, 11}};
    painter.drawPolyline(line, 7);
}

void DrawCircle(QPainter& painter) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(9, 9), 8, 8);
    painter.setPen(QPen(Qt::red, 1.5));
    painter.drawLine(QPointF(9, 9), QPointF(14, 5));
}

}  // namespace

QIcon CommandIcon(int id) {
    switch (id) {
        case cmd::kOpen: return Standard(QStyle::SP_DialogOpenButton);
        case cmd::kRealtimeWindow: return Painted(DrawTrend);
        case cmd::kPrintPreview: return Painted(DrawPreview);
        case cmd::kDataList:
        case cmd::kRealtimeDataList: return Painted(DrawList);
        case cmd::kChannelPanel: return Painted(DrawPanel);
        case cmd::kEnvelope: return Painted(DrawEnvelope);
        case cmd::kStartAcquisition: return Standard(QStyle::SP_MediaPlay);
        case cmd::kStopAcquisition: return Standard(QStyle::SP_MediaStop);
        case cmd::kFileInfo: return Standard(QStyle::SP_MessageBoxInformation);
        case cmd::kBarDisplay: return Painted(DrawBars);
        case cmd::kCircleDisplay: return Painted(DrawCircle);
        case cmd::kSaveRealtime: return Standard(QStyle::SP_DialogSaveButton);
        default: return {};
    }
}

QIcon ProgramIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x00, 0x40, 0x80), 2));
    painter.setBrush(QColor(0xF0, 0xF4, 0xFF));
    painter.drawEllipse(QPointF(16, 16), 14, 14);
    painter.setPen(QPen(QColor(0xC0, 0x20, 0x20), 2.5));
    const QPointF trend[] = {{6, 20}, {11, 14}, {16, 18}, {21, 9}, {26, 12}};
    painter.drawPolyline(trend, 5);
    return QIcon(pixmap);
}
