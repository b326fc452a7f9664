// The base of the input forms that edit one table.
#include "gui/inputs/table_input_form.h"

#include "desk/open_project.h"
#include "desk/two_blank_table.h"
#include "gui/grid/grid_model.h"
#include "gui/grid/grid_view.h"
#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>

namespace gui {

namespace {

constexpr int kRowHeightPx = 24;

} // namespace

TableInputForm::TableInputForm(const TableFormDescription& description, QWidget* parent)
    : InputForm(parent), m_grid(description.columnCount, description.initialRows),
      m_description(description), m_filesDir(toQString(desk::projectInputsDir())) {
    setObjectName(description.objectName);
    setWindowTitle(description.windowTitle);
    m_group = new QGroupBox(description.groupTitle, this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(m_group);

    m_loadButton = makeButton("Načíst data", "btnLoad", m_group, true);
    m_model = new GridModel(m_grid, this);
    m_model->setHeaderCentred(description.headerCentred);
    m_model->setMarksNonNumbers(true);
    m_gridView = new QTableView(m_group);
    m_gridView->setObjectName(description.gridName);
    GridClipboard* clipboard =
        setupGridView(*m_gridView, *m_model, description.columnWidthPx, kRowHeightPx);
    m_gridView->setFixedWidth(description.gridWidthPx);
    // A pasted table gets the header a loaded one has, in the same undo step.
    clipboard->setPasteCompletion([this](desk::GridEditBuilder& edit) {
        desk::Grid header(m_description.columnCount, 1);
        m_description.setHeader(header, true);
        for (int column = 0; column < header.columnCount(); ++column)
            edit.setCell(column, 0, header.cell(column, 0));
    });
    connect(clipboard, &GridClipboard::pasted, this, &TableInputForm::tablePasted);
    m_pasteBusy = makeBusyIndicator("Vkládají se data…", "progressPaste", m_group);
    m_pasteBusy->setMaximumWidth(description.gridWidthPx); // under the grid, moving nothing
    keepPlaceWhenHidden(m_pasteBusy);
    connect(clipboard, &GridClipboard::busy, m_pasteBusy, &QWidget::setVisible);
    addUndoKeys();

    m_countLabel = new QLabel(description.countLabel, m_group);
    m_countLabel->setObjectName(QString("lbl") + description.countName);
    m_countField = new QLineEdit("0", m_group);
    m_countField->setObjectName(QString("edit") + description.countName);
    m_countField->setReadOnly(true);
    m_countField->setFixedWidth(description.countWidthPx);
    showOnceLoaded(m_countLabel);
    showOnceLoaded(m_countField);

    m_closeWithoutSavingButton = makeButton("Zavřít bez uložení", "btnCloseNoSave", m_group, false);
    m_closeAndSaveButton = makeButton("Zavřít a uložit", "btnCloseSave", m_group, true);

    // The count is what "Zavřít a uložit" writes: the rows up to the last value.
    const auto recount = [this] {
        m_countField->setText(QString::number(desk::filledRowCount(m_grid)));
    };
    connect(m_model, &GridModel::gridEdited, this, recount);
    connect(m_loadButton, &QPushButton::clicked, this, &TableInputForm::loadData);
    connect(m_closeAndSaveButton, &QPushButton::clicked, this, &TableInputForm::closeAndSave);
    connect(m_closeWithoutSavingButton, &QPushButton::clicked, this,
            &TableInputForm::closeWithoutSaving);
}

// The model reads the grid, which is destroyed before the widget base hides
// the view: the model goes first.
TableInputForm::~TableInputForm() {
    delete m_model;
}

void TableInputForm::setFilesDir(const QString& dir) {
    m_filesDir = dir;
    showSavedData();
}

void TableInputForm::showOnceLoaded(QWidget* widget) {
    keepPlaceWhenHidden(widget);
    widget->hide();
    m_shownOnceLoaded << widget;
}

QHBoxLayout* TableInputForm::countAndCloseRow() {
    auto* row = new QHBoxLayout;
    row->addWidget(m_countLabel);
    row->addWidget(m_countField);
    row->addStretch(1);
    row->addWidget(m_closeWithoutSavingButton);
    row->addWidget(m_closeAndSaveButton);
    return row;
}

void TableInputForm::setColumns(QLayout* left, QLayout* right) {
    auto* columns = new QHBoxLayout(m_group);
    columns->addLayout(left);
    columns->addLayout(right, 1);
}

void TableInputForm::setLoaded(bool loaded) {
    m_loaded = loaded;
    for (QWidget* widget : m_shownOnceLoaded)
        widget->setVisible(loaded);
}

void TableInputForm::tablePasted() {
    if (!m_loaded) setLoaded(true);
}

// Ctrl+Z and Ctrl+Y anywhere in the form; a cell being typed into undoes its
// own typing first.
void TableInputForm::addUndoKeys() {
    QAction* undo = m_model->undoStack().createUndoAction(this, "Zpět");
    undo->setObjectName("actionUndo");
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = m_model->undoStack().createRedoAction(this, "Znovu");
    redo->setObjectName("actionRedo");
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Y)); // the same key twice is ambiguous
    redo->setShortcuts(redoKeys);
    for (QAction* action : {undo, redo}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }
}

bool TableInputForm::hasChanges() const {
    return !m_model->undoStack().isClean();
}

void TableInputForm::showSavedData() {
    const desk::TableRows saved =
        m_description.savedRows(project_files::readSavedInputs(toPath(m_filesDir)));
    const bool loaded = !saved.empty();
    m_grid = desk::Grid(m_description.columnCount, m_description.initialRows);
    m_description.setHeader(m_grid, loaded);
    if (loaded) desk::setDataRows(m_grid, saved);
    m_model->reload(); // what undo returns to
    m_countField->setText(QString::number(saved.size()));
    setLoaded(loaded);
}

void TableInputForm::loadData() {
    setLoaded(true);
    desk::Grid loaded = m_grid;
    m_description.setHeader(loaded, true);
    const desk::TableLoad load =
        readTwoBlankTable(toPath(m_filesDir) / m_description.sourceFile, loaded);
    // The source's numbers as the engineer reads them; saving writes points again.
    desk::showCzechNumbers(loaded);
    m_model->apply(desk::editBetween(m_grid, loaded), "Načtení dat");
    if (!load.error.empty()) {
        MessageService::instance().error(this, QString::fromStdString(load.error));
        return;
    }
    m_countField->setText(QString::number(load.lines));
}

void TableInputForm::closeAndSave() {
    MessageService& messages = MessageService::instance();
    const desk::TableCheck check = m_description.check(m_grid);
    if (check.refusal) {
        messages.error(this, QString::fromStdString(check.refusal->message));
        markCell(*m_gridView, check.refusal->column, check.refusal->row);
        return;
    }
    if (!check.warnings.empty() &&
        !messages.question(this, QString::fromStdString(desk::warningQuestion(check.warnings))))
        return;
    const project_files::FileResult result = m_description.write(toPath(m_filesDir), check.rows);
    if (!result) {
        messages.error(this, QString::fromStdString(result.error));
        return;
    }
    accept();
}

} // namespace gui
