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

    /// The directory the files are read from and written to; empty (the
    /// default) means the directory of the program file. The fields show
    /// what the files there hold.
    void setFilesDir(const QString& dir);
    QString filesDir() const;

public slots:
    /// "Zavřít a uložit": checks the eight texts, asks about what is probably
    /// wrong, writes the files and closes. A text that cannot be right, a No
    /// or a failed file leaves the form open with its texts; a refusal writes
    /// nothing.
    void saveAndClose();

private:
    QLineEdit* addField(class QGridLayout* grid, int row, const char* labelName, const char* label,
                        const char* editName, int maxLength);
    /// Edit1 ... Edit8 by the index 0 ... 7.
    QLineEdit* field(int index) const;
    void showSavedData();

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
