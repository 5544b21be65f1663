#include "gui/navigation/tag_list.h"

#include <QHeaderView>

#include "core/datafile/cxfile.h"

namespace {

constexpr int kNumberColumnWidth = 42;
constexpr int kTimeColumnWidth = 150;

}  // namespace

CTagList::CTagList(QWidget* parent) : QTableWidget(parent) {
    setObjectName(QStringLiteral("tagList"));
    setColumnCount(2);
    setHorizontalHeaderLabels({QStringLiteral("序号"), QStringLiteral("时间")});
    setColumnWidth(0, kNumberColumnWidth);
    setColumnWidth(1, kTimeColumnWidth);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
}

void CTagList::Fill(const kvr::CXFile& file) {
    clearContents();
    setRowCount(file.GetTagCount());
    for (int i = 0; i < file.GetTagCount(); ++i) {
        setItem(i, 0, new QTableWidgetItem(QString::number(i + 1)));
        setItem(i, 1,
                new QTableWidgetItem(QString::fromStdString(kvr::FormatTime(file.GetTag(i)))));
    }
}

int CTagList::SelectedTag() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
}
