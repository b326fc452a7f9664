// Shows a series of results (one value per step) in a grid, read-only: the
// values stay numbers in memory and a row becomes text only when a view asks
// for it, so a million steps cost the series, not a million cells.
#pragma once

#include "gui/grid/copied_text.h"

#include <QAbstractTableModel>
#include <QString>

#include <memory>
#include <vector>

namespace gui {

/// Column 0 numbers the steps (greyed, like a grid's fixed column), column 1
/// holds the series' values with three decimals and a decimal comma; the
/// header row is the view's header ("i" and the series' name). Row r shows
/// step r + 1. An edit role gives a value as the file wrote it (fullValue).
class SeriesTableModel : public QAbstractTableModel, public CopyableTable {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// Shows `values` under `header`; nullptr shows no rows and no headers.
    void setSeries(std::shared_ptr<const std::vector<double>> values, const QString& header);
    const std::shared_ptr<const std::vector<double>>& series() const { return m_values; }

    /// The widest texts the columns show (their header included): what a view
    /// sizes its columns by without looking at every row.
    QString widestText(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    /// The steps and values as the edit role gives them; the series is
    /// shared, not copied, until the text is made.
    std::function<std::string()> copiedText(int top, int left, int bottom,
                                            int right) const override;

private:
    std::shared_ptr<const std::vector<double>> m_values;
    QString m_header;
    double m_lowest = 0.0, m_highest = 0.0; // of the values, for widestText
};

} // namespace gui
