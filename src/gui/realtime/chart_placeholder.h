#pragma once
// The window of the realtime bar and dial displays until their drawing exists: it carries
// the right title and says what will be shown there.
#include <QWidget>

class CChartPlaceholder : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Bar, Dial };
    explicit CChartPlaceholder(Kind kind, QWidget* parent = nullptr);

    static QString TitleOf(Kind kind);
    QString Message() const;

private:
    Kind kind_;
};
