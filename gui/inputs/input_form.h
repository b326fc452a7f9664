// The base of the three input forms and their shared closing pattern.
#pragma once

#include <QDialog>

namespace gui {

/// A modal input form: centred on the screen when first shown; "Zavřít bez
/// uložení" closes without writing, after asking "Opravdu zavřít bez
/// uložení?" when something was changed (Yes closes); Escape does nothing,
/// because it would close the form and lose what was typed without that
/// question. The window's close control closes silently.
class InputForm : public QDialog {
    Q_OBJECT
public:
    explicit InputForm(QWidget* parent = nullptr);

    /// Something differs from what the form opened with.
    virtual bool hasChanges() const = 0;

protected:
    void closeWithoutSaving();
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_centred = false;
};

} // namespace gui
