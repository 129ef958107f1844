#include "desktop/lists/tsummarydialog.h"

#include <QHeaderView>
#include <QTableView>

#include "engine/lists/item_list.h"

namespace desktop {

tsummarydialog::tsummarydialog(engine::Book& book, QWidget* parent)
    : titemdialog(std::make_unique<engine::SummaryList>(book), QStringLiteral("摘要一覧"), 299,
                  parent) {
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void tsummarydialog::FitColumns(int clientWidth) {
  grid->setColumnWidth(0, clientWidth);
}

}  // namespace desktop
