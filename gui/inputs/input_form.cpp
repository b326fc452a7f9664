// The base of the three input forms and their shared closing pattern.
#include "gui/inputs/input_form.h"

#include "gui/widgets/form_widgets.h"
#include "gui/widgets/message_service.h"

#include <QKeyEvent>

namespace gui {

InputForm::InputForm(QWidget* parent) : QDialog(parent) {}

void InputForm::closeWithoutSaving() {
    if (!hasChanges() || MessageService::instance().question(this, "Opravdu zavřít bez uložení?"))
        reject();
}

void InputForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void InputForm::showEvent(QShowEvent* event) {
    if (!m_centred) {
        m_centred = true;
        centreOnScreen(*this);
    }
    QDialog::showEvent(event);
}

} // namespace gui
