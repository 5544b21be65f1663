#pragma once
// CViewDefDlg: the default-display dialog behind CXViewDef::ShowXWnd.
#include <QDialog>
#include <array>

#include "core/settings/view_def.h"
#include "gui/common/language.h"

class CColorButton;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

class CViewDefDlg : public QDialog {
    Q_OBJECT
public:
    CViewDefDlg(const kvr::ViewDef& view, Language language, QWidget* parent = nullptr);
    kvr::ViewDef View() const;

private:
    void OnOk();

    Language language_ = Language::kChinese;
    kvr::ViewDef original_;
    QComboBox* xMode_ = nullptr;
    QComboBox* yMode_ = nullptr;
    QDoubleSpinBox* yLow_ = nullptr;
    QDoubleSpinBox* yHigh_ = nullptr;
    QSpinBox* gridCount1_ = nullptr;
    QSpinBox* gridCount2_ = nullptr;
    CColorButton* gridColor_ = nullptr;
    CColorButton* backgroundColor_ = nullptr;
    std::array<CColorButton*, 8> curveColors_{};
    QSpinBox* realtimeInterval_ = nullptr;
};
