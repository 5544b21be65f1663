#pragma once
// CComDlg: the serial-parameter dialog behind CXCom::ShowXWnd.
#include <QDialog>

#include "core/settings/com_param.h"
#include "gui/common/language.h"

class QComboBox;
class QSpinBox;

class CComDlg : public QDialog {
    Q_OBJECT
public:
    CComDlg(const kvr::ComParam& param, Language language, QWidget* parent = nullptr);
    // The record as the fields now say.
    kvr::ComParam Param() const;

    QComboBox* PortBox() const { return port_; }

private:
    void OnOk();
    QSpinBox* AddTimeout(class QFormLayout* form, const QString& label, int value);

    Language language_ = Language::kChinese;
    kvr::ComParam original_;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QComboBox* parity_ = nullptr;
    QSpinBox* address_ = nullptr;
    QSpinBox* readInterval_ = nullptr;
    QSpinBox* readTotalConstant_ = nullptr;
    QSpinBox* readTotalMultiplier_ = nullptr;
    QSpinBox* writeTotalConstant_ = nullptr;
    QSpinBox* writeTotalMultiplier_ = nullptr;
    QSpinBox* attempts_ = nullptr;
};
