#include "gui/history/hc_view.h"

CHCView::CHCView(QWidget* parent) : QWidget(parent) {}

CHCView::~CHCView() = default;

void CHCView::SetFile(kvr::CXFile* file) { file_.reset(file); }

bool CHCView::HandlesCommand(int) const { return false; }

void CHCView::ExecuteCommand(int) {}

void CHCView::OnActivated() {}
