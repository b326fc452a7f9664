// The look shared by every grid of the forms, and their clipboard keys.
#include "gui/grid/grid_view.h"

#include "desk/input_files.h"
#include "gui/grid/grid_model.h"
#include "gui/widgets/message_service.h"

#include <QClipboard>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <climits>

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

namespace {

/// The cells' editor: a block (rows or columns) pasted while a cell is being
/// typed into goes into the grid from that cell, as Ctrl+V outside the
/// editor does, never into the one cell; a single value goes into the editor.
class GridCellDelegate : public QStyledItemDelegate {
public:
    GridCellDelegate(GridClipboard& clipboard, QObject* parent)
        : QStyledItemDelegate(parent), m_clipboard(clipboard) {}

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor == nullptr ||
            (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) ||
            !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste) ||
            !QGuiApplication::clipboard()->text().contains(QRegularExpression("[\\t\\r\\n]")))
            return QStyledItemDelegate::eventFilter(object, event);
        event->accept();
        if (event->type() == QEvent::KeyPress) {
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            m_clipboard.paste();
        }
        return true;
    }

private:
    GridClipboard& m_clipboard;
};

} // namespace

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
    GridClipboard* clipboard = installGridClipboard(view);
    if (dynamic_cast<GridCellDelegate*>(view.itemDelegate()) == nullptr)
        view.setItemDelegate(new GridCellDelegate(*clipboard, &view));
    return clipboard;
}

GridClipboard* installGridClipboard(QTableView& view) {
    if (auto* installed = view.findChild<GridClipboard*>(QString(), Qt::FindDirectChildrenOnly))
        return installed;
    return new GridClipboard(view);
}

namespace {

bool isEditable(const QModelIndex& index) {
    return index.isValid() && (index.flags() & Qt::ItemIsEditable);
}

// The column's name in messages: its header, or its number.
std::string columnName(const QAbstractItemModel& model, int column) {
    const QString header = model.headerData(column, Qt::Horizontal).toString().trimmed();
    return header.isEmpty() ? std::to_string(column) : header.toStdString();
}

QStringList qtTexts(const std::vector<std::string>& texts) {
    QStringList list;
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    return list;
}

} // namespace

GridClipboard::GridClipboard(QTableView& view) : QObject(&view), m_view(view) {
    view.installEventFilter(this);
    m_reading = new QFutureWatcher<PasteCheck>(this);
    connect(m_reading, &QFutureWatcher<PasteCheck>::finished, this, [this] {
        // The busy indicator stays until the block is in the grid.
        m_busyDelay->stop();
        finishPaste(m_reading->future().takeResult());
        endPasting();
    });
    m_busyDelay = new QTimer(this);
    m_busyDelay->setSingleShot(true);
    m_busyDelay->setInterval(kBusyDelayMs);
    connect(m_busyDelay, &QTimer::timeout, this, [this] {
        m_busy = true;
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        emit busy(true);
    });
}

GridClipboard::~GridClipboard() {
    if (m_busy) QGuiApplication::restoreOverrideCursor();
}

bool GridClipboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_view ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool copyKey = key->matches(QKeySequence::Copy);
    const bool pasteKey = key->matches(QKeySequence::Paste);
    const bool deleteKey = key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier;
    auto* model = qobject_cast<GridModel*>(m_view.model());
    const bool undoKey = model != nullptr && key->matches(QKeySequence::Undo);
    const bool redoKey =
        model != nullptr && (key->matches(QKeySequence::Redo) ||
                             (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier));
    if (!copyKey && !pasteKey && !deleteKey && !undoKey && !redoKey)
        return QObject::eventFilter(watched, event);
    // The keys belong to the grid, not to a shortcut of the window around it.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (m_pasting) return true; // the grid takes nothing until the block is in
    if (copyKey) copy();
    if (pasteKey) paste();
    if (deleteKey) clearSelected();
    if (undoKey) model->undoStack().undo();
    if (redoKey) model->undoStack().redo();
    return true;
}

// The block the selection spans, its text made when someone pastes it.
void GridClipboard::copy() {
    const auto* table = dynamic_cast<const CopyableTable*>(m_view.model());
    const QItemSelection selection = m_view.selectionModel()->selection();
    if (table == nullptr || selection.isEmpty()) return;
    int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
        left = std::min(left, range.left());
        right = std::max(right, range.right());
    }
    // A drag from the numbering column selects only the cells beside it.
    while (left < right && !(m_view.model()->index(top, left).flags() & Qt::ItemIsSelectable))
        ++left;
    QGuiApplication::clipboard()->setMimeData(
        new CopiedText(table->copiedText(top, left, bottom, right)));
}

void GridClipboard::paste() {
    auto* model = qobject_cast<GridModel*>(m_view.model());
    if (model == nullptr || m_pasting) return;
    // From the current cell, or the first right of it that takes text (the
    // numbering column is current when the grid got the focus by a key).
    const QModelIndex current = m_view.currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    QModelIndex anchor;
    for (int column = current.isValid() ? current.column() : 0;
         !anchor.isValid() && column < model->columnCount(); ++column)
        if (isEditable(model->index(row, column))) anchor = model->index(row, column);
    if (!anchor.isValid()) return;
    std::string text = QGuiApplication::clipboard()->text().toStdString();
    if (text.empty()) return;
    std::vector<std::string> names;
    for (int column = anchor.column(); column < model->columnCount(); ++column)
        names.push_back(columnName(*model, column));
    m_anchorRow = anchor.row();
    m_anchorColumn = anchor.column();
    const int firstRow = anchor.row() + 1;
    if (text.size() <= kPastedAtOnce) {
        finishPaste(checkPaste(clipboardCells(text), firstRow, names));
        return;
    }
    m_pasting = true;
    m_editTriggers = static_cast<int>(m_view.editTriggers());
    m_view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_reading->setFuture(
        QtConcurrent::run([text = std::move(text), firstRow, names = std::move(names)] {
            return checkPaste(clipboardCells(text), firstRow, names);
        }));
    m_busyDelay->start();
}

void GridClipboard::endPasting() {
    m_pasting = false;
    m_view.setEditTriggers(QAbstractItemView::EditTriggers(m_editTriggers));
    m_busyDelay->stop();
    if (!m_busy) return;
    m_busy = false;
    QGuiApplication::restoreOverrideCursor();
    emit busy(false);
}

void GridClipboard::finishPaste(PasteCheck check) {
    auto* model = qobject_cast<GridModel*>(m_view.model());
    if (model == nullptr) return;
    MessageService& messages = MessageService::instance();
    if (check.refusal) {
        const QModelIndex bad =
            model->index(check.refusal->row - 1, m_anchorColumn + check.refusal->column);
        if (bad.isValid()) m_view.setCurrentIndex(bad);
        messages.error(m_view.window(), QString::fromStdString(check.refusal->message));
        return;
    }
    const int pastedRows = static_cast<int>(check.cells.size());
    if (pastedRows == 0) return;
    PasteRows rows = PasteRows::Overwrite;
    const std::string question =
        m_anchorRow == 0 ? pasteRowsQuestion(pastedRows, desk::filledRowCount(model->grid()))
                         : std::string();
    if (!question.empty()) {
        const int chosen = messages.choose(m_view.window(), QString::fromStdString(question),
                                           qtTexts(pasteRowsChoices(pastedRows)));
        if (chosen != 0 && chosen != 1) return;
        rows = chosen == 0 ? PasteRows::ReplaceTable : PasteRows::Overwrite;
    }
    desk::GridEditBuilder edit(model->grid());
    addPaste(edit, std::move(check.cells), m_anchorRow + 1, m_anchorColumn, rows);
    if (m_completePaste) m_completePaste(edit);
    model->apply(edit.take(), "Vložení");
    emit pasted(m_anchorRow, m_anchorRow + pastedRows - 1);
    // The cell the block starts at stays current and alone selected: a
    // selected block would hide the marks of the cells and turn the next
    // click on it into editing.
    m_view.setCurrentIndex(model->index(m_anchorRow, m_anchorColumn));
}

void GridClipboard::clearSelected() {
    auto* model = qobject_cast<GridModel*>(m_view.model());
    if (model == nullptr) return;
    desk::GridEditBuilder edit(model->grid());
    for (const QItemSelectionRange& range : m_view.selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            for (int column = range.left(); column <= range.right(); ++column)
                if (isEditable(model->index(row, column)))
                    edit.setCell(column, GridModel::gridRow(model->index(row, column)),
                                 std::string());
    model->apply(edit.take(), "Smazání");
}

} // namespace gui
