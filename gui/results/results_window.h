// The results window: the outflow hydrograph beside the inflow and the
// course of the water level, each on a page of its own (ResultsPage).
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

    /// The directory the exported workbooks are written to; the open
    /// project's exchange directory unless set.
    void setProgramDir(const QString& dir) { m_programDir = dir; }
    /// The root of the result files and of the pictures' directory; the open
    /// project (desk::projectRoot()) unless set. Resets the name
    /// the picture dialog offers.
    void setRoot(const std::filesystem::path& root);

    /// Asks for the name of a picture file, offering `suggested`; an empty
    /// text means the user cancelled.
    using PictureFileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;
    /// Replaces the save dialog (tests answer without a modal loop).
    void setPictureFileChooser(PictureFileChooser chooser) {
        m_choosePictureFile = std::move(chooser);
    }
    /// Replaces the opening of exported workbooks on the desktop.
    void setWorkbookOpener(gui::WorkbookOpener opener) { m_openWorkbook = std::move(opener); }

    /// The series the pages loaded last, one value per step; empty before a
    /// load and when the result set could not be shown.
    const std::vector<double>& inflow() const;
    const std::vector<double>& outflow() const;
    const std::vector<double>& levels() const;
    /// The name the picture dialog offers next.
    QString pictureFileName() const { return m_pictureFileName; }
    /// The time step of the page loaded last [min]; see ResultsPage::timeStepMin.
    std::optional<double> timeStepMin() const;

    static inline const char* const kSheetName = "Stringgrid Print";

public slots:
    /// "Zavřít okno": closes the window.
    void closeWindow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void connectPage(gui::ResultsPage* page);
    /// "Uložení grafu do JPG": the page's chart at its size on screen, as a
    /// JPEG file; one dialog for both pages keeps the last name chosen.
    void savePicture(gui::ResultsPage& page);
    /// "Export do excelu": the page's table as a workbook beside the program.
    void exportTable(const gui::ResultsPage& page);

    QString m_programDir;
    QString m_pictureFileName;
    PictureFileChooser m_choosePictureFile;
    gui::WorkbookOpener m_openWorkbook;
    bool m_centred = false;

    QTabWidget* m_tabs = nullptr;
    gui::ResultsPage* m_flowPage = nullptr;
    gui::ResultsPage* m_levelPage = nullptr;
    const gui::ResultsPage* m_loadedLast = nullptr;
};

} // namespace gui
