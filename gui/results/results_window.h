// The results window: the outflow hydrograph beside the inflow and the
// course of the water level, each on a page of its own (ResultsPage), loaded
// and drawn when the window opens.
#pragma once

#include "gui/workbook/workbook_export_dialog.h"

#include <QDialog>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

class QTabWidget;

namespace gui {
class ResultsPage;
class ResultsWindow : public QDialog {
    Q_OBJECT
public:
    explicit ResultsWindow(QWidget* parent = nullptr);

    /// The folder the workbook dialog offers first; the open project's
    /// exchange directory unless set.
    void setWorkbookDir(const QString& dir) { m_workbookDir = dir; }
    /// The root of the result files and of the pictures' folder; the open
    /// project (desk::projectRoot()) unless set. The picture dialog offers
    /// its OUT_PICTURES first.
    void setRoot(const std::filesystem::path& root);

    /// Replaces the save dialog of pictures and workbooks (tests answer
    /// without a modal loop).
    void setFileChooser(gui::SaveFileChooser chooser) { m_chooseFile = std::move(chooser); }
    /// Replaces the opening of exported workbooks on the desktop.
    void setWorkbookOpener(gui::WorkbookOpener opener) { m_openWorkbook = std::move(opener); }

    /// The series the pages loaded last, one value per step; empty before a
    /// load and when the result set could not be shown.
    const std::vector<double>& inflow() const;
    const std::vector<double>& outflow() const;
    const std::vector<double>& levels() const;
    /// The names the dialog offers for the picture and the workbook of a page
    /// ("Flow", "Level"): what it holds, the project, today's date, in the
    /// folder chosen last for such a file.
    QString suggestedPicture(const QString& page) const;
    QString suggestedWorkbook(const QString& page) const;
    /// The time step of the page loaded last [min]; see ResultsPage::timeStepMin.
    std::optional<double> timeStepMin() const;

public slots:
    /// "Zavřít okno": closes the window.
    void closeWindow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void connectPage(gui::ResultsPage* page);
    gui::ResultsPage* page(const QString& name) const;
    /// "Uložení grafu do JPG": the page's chart at its size on screen, with
    /// its title, as a JPEG file where the user chooses.
    void savePicture(gui::ResultsPage& page);
    /// "Export do excelu": the page's table as a workbook where the user chooses.
    void exportTable(const gui::ResultsPage& page);

    std::filesystem::path m_root;
    QString m_pictureDir;
    QString m_workbookDir;
    gui::SaveFileChooser m_chooseFile;
    gui::WorkbookOpener m_openWorkbook;
    bool m_centred = false;

    QTabWidget* m_tabs = nullptr;
    gui::ResultsPage* m_flowPage = nullptr;
    gui::ResultsPage* m_levelPage = nullptr;
    const gui::ResultsPage* m_loadedLast = nullptr;
};

} // namespace gui
