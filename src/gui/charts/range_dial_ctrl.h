#pragma once
// CRangeDialCtrl: the live dial chart. The recent hours of six channels drawn like a paper
// circular-chart recorder (time clockwise over 8, 12 or 24 hours, value as the distance
// from the centre) with a legend strip of the newest values and the totals at the right.
#include <QFont>
#include <QImage>
#include <QWidget>
#include <utility>
#include <vector>

namespace kvr {
class CXFile;
}

class CRangeDialCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChannelsPerGroup = 6;

    explicit CRangeDialCtrl(QWidget* parent = nullptr);
    void SetFile(kvr::CXFile* file);
    void SetGroups(int groupCount, int selectedGroup);
    void Layout();
    // Draws the legend and the chart again and repaints.
    void Refresh();
    const QImage& Picture() const { return picture_; }
    QPointF Centre() const { return centre_; }
    double Radius() const { return radius_; }

    // The legend as laid out for the current size: every text with its box, font and
    // colour, the colour swatches and the rules under the channel rows.
    struct LegendText {
        QRect box;
        QString text;
        QFont font;
        QColor colour;
        int flags = 0;
    };
    struct LegendLayout {
        std::vector<LegendText> texts;
        std::vector<std::pair<QRect, QColor>> swatches;
        std::vector<int> rules;
    };
    LegendLayout Legend() const;
    QRect LegendRect() const { return legend_; }

signals:
    void rightButtonReleased(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<int> GroupChannels() const;
    void DrawChart(QPainter& painter) const;
    void DrawLegend(QPainter& painter) const;

    kvr::CXFile* file_ = nullptr;
    int groups_ = 1;
    int group_ = 0;
    QRect chart_;
    QRect legend_;
    QPointF centre_;
    double radius_ = 0;
    QImage picture_;
};
