// The look shared by every grid of the forms.
#include "gui/grid/grid_view.h"

#include <QHeaderView>
#include <QTableView>

namespace gui {

void applyGridSizes(QTableView& view, int columnWidthPx, int rowHeightPx) {
    // Fixed section sizes let the view skip measuring every row of long grids.
    view.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.horizontalHeader()->setDefaultSectionSize(columnWidthPx);
    view.horizontalHeader()->setMinimumSectionSize(1);
    view.horizontalHeader()->setFixedHeight(rowHeightPx);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.verticalHeader()->setDefaultSectionSize(rowHeightPx);
    view.verticalHeader()->setMinimumSectionSize(1);
}

void setupGridView(QTableView& view, QAbstractItemModel& model, int columnWidthPx,
                   int rowHeightPx) {
    view.setModel(&model);
    // The header row is the view's own header, so it stays while rows scroll;
    // its texts keep their leading blanks and sit at the left like the cells.
    view.horizontalHeader()->show();
    view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    view.horizontalHeader()->setHighlightSections(false);
    view.horizontalHeader()->setSectionsClickable(false);
    view.verticalHeader()->hide();
    view.setShowGrid(true);
    view.setSelectionMode(QAbstractItemView::ContiguousSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectItems);
    view.setTabKeyNavigation(true);
    view.setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    view.setWordWrap(false);
    view.setTextElideMode(Qt::ElideNone); // a long text is cut at the cell's edge
    applyGridSizes(view, columnWidthPx, rowHeightPx);
}

} // namespace gui
