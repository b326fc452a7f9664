// The technical data form: the bottom outlets and the safety spillway,
// written to eight one-value exchange files.
#pragma once

#include "gui/dialogs/input_form.h"
#include <QString>

class QLineEdit;

class TFRM_Ostatni : public gui::InputForm {
    Q_OBJECT
public:
    explicit TFRM_Ostatni(QWidget* parent = nullptr);

    /// The directory the files are written to; empty (the default) means the
    /// directory of the program file.
    void setFilesDir(const QString& dir);
    QString filesDir() const;

public slots:
    /// "Zavřít a uložit": converts the coefficients, writes the eight files
    /// and closes; a bad coefficient or a failed file leaves the form open.
    void saveAndClose();
    /// "Zavřít bez uložení": closes without writing when the user says yes.

protected:
private:
    QLineEdit* addField(class QGridLayout* grid, int row, const char* labelName,
                        const QString& label, const char* editName, int maxLength);

    QLineEdit* Edit1 = nullptr; // number of bottom outlets
    QLineEdit* Edit2 = nullptr; // pipe diameter
    QLineEdit* Edit3 = nullptr; // outflow velocity coefficient
    QLineEdit* Edit4 = nullptr; // spillway width b0
    QLineEdit* Edit5 = nullptr; // discharge coefficient m
    QLineEdit* Edit6 = nullptr; // start of RO
    QLineEdit* Edit7 = nullptr; // start of RN
    QLineEdit* Edit8 = nullptr; // possible height of RN
    QString m_filesDir;
};
