// Shows a series of results in a grid, read-only.
#include "gui/results/series_table_model.h"

#include "gui/results/result_series.h"

#include <QApplication>
#include <QPalette>

#include <algorithm>

namespace gui {

void SeriesTableModel::setSeries(std::shared_ptr<const std::vector<double>> values,
                                 const QString& header) {
    beginResetModel();
    m_values = std::move(values);
    m_header = header;
    m_lowest = m_highest = 0.0;
    if (m_values && !m_values->empty()) {
        const auto [lowest, highest] = std::minmax_element(m_values->begin(), m_values->end());
        m_lowest = *lowest;
        m_highest = *highest;
    }
    endResetModel();
}

QString SeriesTableModel::widestText(int column) const {
    const QString header = headerData(column, Qt::Horizontal).toString();
    if (!m_values || m_values->empty()) return header;
    QStringList texts = {header};
    if (column == 0)
        texts << QString::number(m_values->size());
    else
        // The most digits stand before the point of the largest magnitude, and a sign with a
        // negative.
        texts << QString::fromStdString(shownValue(m_lowest))
              << QString::fromStdString(shownValue(m_highest));
    return *std::max_element(texts.begin(), texts.end(), [](const QString& a, const QString& b) {
        return a.size() < b.size();
    });
}

int SeriesTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_values ? 0 : static_cast<int>(m_values->size());
}

int SeriesTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant SeriesTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !m_values || index.row() >= rowCount()) return {};
    const bool numbering = index.column() == 0;
    const double value = (*m_values)[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return numbering ? QString::number(index.row() + 1)
                         : QString::fromStdString(shownValue(value));
    case Qt::EditRole:
        return numbering ? QString::number(index.row() + 1)
                         : QString::fromStdString(fullValue(value));
    case Qt::BackgroundRole:
        return numbering ? QVariant(QApplication::palette().brush(QPalette::Button)) : QVariant();
    case Qt::ForegroundRole:
        return numbering ? QVariant(QApplication::palette().brush(QPalette::ButtonText))
                         : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags SeriesTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    if (index.column() == 0) return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant SeriesTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return !m_values ? QString() : section == 0 ? QString(kStepHeader) : m_header;
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return section + 1;
    return QAbstractTableModel::headerData(section, orientation, role);
}

std::function<std::string()> SeriesTableModel::copiedText(int top, int left, int bottom,
                                                          int right) const {
    return [values = m_values, top, left, bottom, right] {
        std::string text;
        if (!values) return text;
        const int last = std::min(bottom, static_cast<int>(values->size()) - 1);
        for (int row = std::max(top, 0); row <= last; ++row) {
            if (row > top) text += '\n';
            if (left <= 0) text += std::to_string(row + 1) + (right >= 1 ? "\t" : "");
            if (right >= 1) text += fullValue((*values)[static_cast<std::size_t>(row)]);
        }
        return text;
    };
}

} // namespace gui
