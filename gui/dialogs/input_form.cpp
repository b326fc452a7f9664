// The base of the three input forms and their shared closing pattern.
#include "gui/dialogs/input_form.h"

#include "gui/dialogs/message_service.h"

#include <QKeyEvent>
#include <QScreen>

namespace gui {

InputForm::InputForm(QWidget* parent) : QDialog(parent) {}

void InputForm::closeWithoutSaving() {
    if (MessageService::instance().question(this, "Opravdu zavřít bez uložení?")) reject();
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
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    }
    QDialog::showEvent(event);
}

} // namespace gui
