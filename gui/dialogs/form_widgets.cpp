// Small widget helpers shared by the forms.
#include "gui/dialogs/form_widgets.h"

#include <QPushButton>
#include <QScreen>
#include <QSizePolicy>

namespace gui {

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent, bool bold) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    if (bold) {
        QFont font = button->font();
        font.setBold(true);
        button->setFont(font);
    }
    return button;
}

void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void centreOnScreen(QWidget& widget) {
    if (const QScreen* screen = widget.screen())
        widget.move(screen->availableGeometry().center() - widget.frameGeometry().center() +
                    widget.pos());
}

} // namespace gui
