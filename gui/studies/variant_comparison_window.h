// "Porovnání variant": the kept variants side by side. A list with check
// boxes; for the ticked ones (up to eight) their outflows over the inflow and
// their levels over the reservoir's levels, and a table of their figures with
// the best of each column marked. A variant can be recomputed or deleted.
// Each variant's inflow is the one its run routed, kept with its results.
#pragma once

#include "gui/workbook/workbook_export_dialog.h"
#include "study/comparison.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QLayout;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableWidget;

namespace study {
class RecomputeJob;
}

namespace gui {
class LineChartView;
class StopSignalWatch;
class StudyCoreRun;
class VariantComparisonWindow : public QDialog {
    Q_OBJECT
public:
    /// The variants of `root` (the open project in the front end).
    explicit VariantComparisonWindow(const std::filesystem::path& root, QWidget* parent = nullptr);
    ~VariantComparisonWindow() override;

    static constexpr int kMaxCompared = 8;

    /// The core that recomputes (tests put a stand-in's path here).
    gui::StudyCoreRun& coreRun() { return *m_run; }
    /// The folder the workbook dialog offers first: the exchange directory
    /// of `root` unless set.
    void setWorkbookDir(const QString& dir) { m_workbookDir = dir; }
    /// Replaces the save dialog (tests answer without a modal loop).
    void setFileChooser(gui::SaveFileChooser chooser) { m_chooseFile = std::move(chooser); }
    /// Replaces the opening of exported workbooks on the desktop.
    void setWorkbookOpener(gui::WorkbookOpener opener) { m_openWorkbook = std::move(opener); }

    static constexpr const char* kSheetName = "Porovnání variant";
    /// The variants ticked, in the list's order.
    const std::vector<study::Variant>& compared() const { return m_compared; }
    const std::vector<study::ComparisonRow>& rows() const { return m_rows; }

public slots:
    /// Reads the list of variants again; ticks stay where the names stay.
    void refreshList();
    /// "Přepočítat": recomputes the current variant in a temporary root.
    void recomputeCurrent();
    /// "Smazat": deletes the current variant after asking.
    void deleteCurrent();
    /// "Export do excelu": the table, numbers as numbers, where the user
    /// chooses (porovnani_variant_<project>_<date>.xlsx offered), opened on
    /// the desktop.
    void exportTable();

signals:
    /// A recomputation has been reported.
    void recomputed(const QString& report);

private:
    QLayout* buildVariantList();
    void buildCharts();
    void buildTable();
    QLayout* buildBottomRow();
    void itemChanged(QListWidgetItem* item);
    void showCompared();
    void drawCharts();
    void fillTable();
    void recomputeFinished();
    void setBusy(bool busy);

    std::filesystem::path m_root;
    QString m_workbookDir;
    gui::SaveFileChooser m_chooseFile;
    gui::WorkbookOpener m_openWorkbook;
    std::vector<study::Variant> m_compared;
    std::vector<study::ComparisonRow> m_rows;
    // While a recomputation runs; destroyed last, once its root is gone.
    std::unique_ptr<gui::StopSignalWatch> m_stopWatch;
    // The job's root goes only after a running core has been ended.
    std::unique_ptr<study::RecomputeJob> m_job;
    std::unique_ptr<gui::StudyCoreRun> m_run;
    QString m_jobName;

    QListWidget* m_variantList = nullptr; // every kept variant, ticked when compared
    QPushButton* m_recomputeButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QLabel* m_statusLabel = nullptr; // what a recomputation is doing or gave
    QLabel* m_noteLabel = nullptr;   // variants without complete results or their own inflow
    gui::LineChartView* m_flowChart = nullptr;
    gui::LineChartView* m_levelChart = nullptr;
    QTableWidget* m_figureTable = nullptr;
};

} // namespace gui
