// The look shared by every grid of the forms, and their clipboard keys.
#include "gui/grid/grid_view.h"

#include "gui/grid/clipboard_table.h"
#include "gui/widgets/message_service.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>
#include <charconv>

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

GridClipboard* setupGridView(QTableView& view, QAbstractItemModel& model, int columnWidthPx,
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
    return installGridClipboard(view);
}

GridClipboard* installGridClipboard(QTableView& view) {
    if (auto* installed = view.findChild<GridClipboard*>(QString(), Qt::FindDirectChildrenOnly))
        return installed;
    return new GridClipboard(view);
}

namespace {

// A cell's text as the user would copy it: the model's edit text (the whole
// number where the grid shows it rounded), else what it shows.
std::string cellText(const QModelIndex& index) {
    QVariant value = index.data(Qt::EditRole);
    if (!value.isValid()) value = index.data(Qt::DisplayRole);
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        char text[32];
        const auto written = std::to_chars(text, text + sizeof text, value.toDouble());
        return desk::czechNumber(std::string(text, written.ptr));
    }
    return desk::czechCellText(value.toString().toStdString());
}

bool isEditable(const QModelIndex& index) {
    return index.isValid() && (index.flags() & Qt::ItemIsEditable);
}

// The column's name in messages: its header, or its number.
std::string columnName(const QAbstractItemModel& model, int column) {
    const QString header = model.headerData(column, Qt::Horizontal).toString().trimmed();
    return header.isEmpty() ? std::to_string(column) : header.toStdString();
}

} // namespace

GridClipboard::GridClipboard(QTableView& view) : QObject(&view), m_view(view) {
    view.installEventFilter(this);
}

bool GridClipboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_view ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool copyKey = key->matches(QKeySequence::Copy);
    const bool pasteKey = key->matches(QKeySequence::Paste);
    const bool deleteKey = key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier;
    if (!copyKey && !pasteKey && !deleteKey) return QObject::eventFilter(watched, event);
    // The keys belong to the grid, not to a shortcut of the window around it.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (copyKey) copy();
    if (pasteKey) paste();
    if (deleteKey) clearSelected();
    return true;
}

void GridClipboard::copy() {
    const QModelIndexList selected = m_view.selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return;
    int top = selected.front().row(), bottom = top;
    int left = selected.front().column(), right = left;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        bottom = std::max(bottom, index.row());
        left = std::min(left, index.column());
        right = std::max(right, index.column());
    }
    ClipboardRows rows(static_cast<std::size_t>(bottom - top + 1),
                       std::vector<std::string>(static_cast<std::size_t>(right - left + 1)));
    for (const QModelIndex& index : selected)
        rows[static_cast<std::size_t>(index.row() - top)]
            [static_cast<std::size_t>(index.column() - left)] = cellText(index);
    QGuiApplication::clipboard()->setText(QString::fromStdString(clipboardText(rows)));
}

void GridClipboard::paste() {
    QAbstractItemModel* model = m_view.model();
    if (model == nullptr) return;
    // From the current cell; without one, from the first cell that takes text.
    QModelIndex anchor = m_view.currentIndex();
    for (int column = 0; !anchor.isValid() && column < model->columnCount(); ++column)
        if (isEditable(model->index(0, column))) anchor = model->index(0, column);
    if (!isEditable(anchor)) return;
    const ClipboardRows block = clipboardCells(QGuiApplication::clipboard()->text().toStdString());
    if (block.empty()) return;
    std::vector<std::string> names;
    for (int column = anchor.column(); column < model->columnCount(); ++column)
        names.push_back(columnName(*model, column));
    const PasteCheck check = checkPaste(block, anchor.row() + 1, names);
    MessageService& messages = MessageService::instance();
    if (check.refusal) {
        const QModelIndex bad =
            model->index(check.refusal->row - 1, anchor.column() + check.refusal->column);
        if (bad.isValid()) m_view.setCurrentIndex(bad);
        messages.error(m_view.window(), QString::fromStdString(check.refusal->message));
        return;
    }
    const int lastRow = anchor.row() + static_cast<int>(check.cells.size()) - 1;
    if (lastRow >= model->rowCount() &&
        !model->insertRows(model->rowCount(), lastRow + 1 - model->rowCount())) {
        messages.error(m_view.window(),
                       QString("Tabulka má jen %1 řádků, vkládaná data by sahala do řádku %2. "
                               "Nic nebylo vloženo.")
                           .arg(model->rowCount())
                           .arg(lastRow + 1));
        return;
    }
    for (std::size_t r = 0; r < check.cells.size(); ++r)
        for (std::size_t c = 0; c < check.cells[r].size(); ++c) {
            const QModelIndex index = model->index(anchor.row() + static_cast<int>(r),
                                                   anchor.column() + static_cast<int>(c));
            if (isEditable(index)) model->setData(index, QString::fromStdString(check.cells[r][c]));
        }
    emit pasted(anchor.row(), lastRow);
    // The cell the block starts at stays current and alone selected: a
    // selected block would hide the marks of the cells and turn the next
    // click on it into editing.
    m_view.setCurrentIndex(model->index(anchor.row(), anchor.column()));
}

void GridClipboard::clearSelected() {
    QAbstractItemModel* model = m_view.model();
    if (model == nullptr) return;
    for (const QModelIndex& index : m_view.selectionModel()->selectedIndexes())
        if (isEditable(index)) model->setData(index, QString());
}

} // namespace gui
