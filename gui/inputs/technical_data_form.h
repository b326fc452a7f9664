// The technical data form: the bottom outlets and the safety spillway,
// written to eight one-value exchange files.
#pragma once

#include "desk/technical_data.h"
#include "gui/inputs/input_form.h"

#include <QString>

#include <array>

class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;

namespace gui {

class TechnicalDataForm : public gui::InputForm {
    Q_OBJECT
public:
    explicit TechnicalDataForm(QWidget* parent = nullptr);

    /// The directory the files are read from and written to; empty (the
    /// default) means the open project's exchange directory. The fields show
    /// what the files there hold.
    void setFilesDir(const QString& dir);
    QString filesDir() const;
    /// A field differs from what the form showed on opening.
    bool hasChanges() const override;

public slots:
    /// "Zavřít a uložit": checks the eight texts, asks about what is probably
    /// wrong, writes the files and closes. A text that cannot be right, a No
    /// or a failed file leaves the form open with its texts; a refusal writes
    /// nothing.
    void saveAndClose();

private:
    QGroupBox* buildOutletGroup();
    QGroupBox* buildSpillwayGroup();
    QHBoxLayout* buildButtons();
    /// A labelled field of `grid`'s next row, kept as field `field`.
    void addField(QGridLayout* grid, desk::TechnicalField field, const char* label,
                  const char* name, int maxLength);
    desk::TechnicalDataTexts typedTexts() const;
    void showSavedData();

    /// The eight fields, by desk::TechnicalField: outlet count, outlet
    /// diameter, outlet coefficient, spillway width, overflow coefficient,
    /// top of the storage space (RO), crest (RN), retention height.
    std::array<QLineEdit*, 8> m_fields{};
    std::array<QString, 8> m_shownTexts; // what the fields showed on opening
    QString m_filesDir;
};

} // namespace gui
