// Small widget helpers shared by the forms.
#include "gui/widgets/form_widgets.h"

#include <QFile>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSizePolicy>
#include <QTableView>

namespace gui {

QPushButton* makeButton(const QString& text, const QString& name, QWidget* parent, bool bold) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    return button;
}

QWidget* makeBusyIndicator(const QString& text, const QString& name, QWidget* parent) {
    auto* busy = new QWidget(parent);
    busy->setObjectName(name);
    auto* bar = new QProgressBar(busy);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    bar->setMinimumWidth(24); // the text first where the row is narrow
    auto* row = new QHBoxLayout(busy);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(text, busy));
    row->addWidget(bar, 1);
    busy->hide();
    return busy;
}

QHBoxLayout* rowAtRight(std::initializer_list<QWidget*> widgets) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return row;
}

void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void centreOnScreen(QWidget& widget) {
    if (const QScreen* screen = widget.screen())
        widget.move(screen->availableGeometry().center() - widget.frameGeometry().center() +
                    widget.pos());
}

void showSavedText(QLineEdit& edit, const QString& text) {
    if (text.size() > edit.maxLength()) edit.setMaxLength(static_cast<int>(text.size()));
    edit.setText(text);
}

void markField(QLineEdit& edit) {
    edit.setFocus();
    edit.selectAll();
}

void markCell(QTableView& view, int column, int row) {
    // The grid's header row is the view's header: grid row r is model row r - 1.
    const QModelIndex index = view.model()->index(row - 1, column);
    view.setCurrentIndex(index);
    view.selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    view.scrollTo(index);
    view.setFocus();
}

QString toQString(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(path.c_str());
#endif
}

} // namespace gui
