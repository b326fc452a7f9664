// Every message box and question of the front end goes through here.
#include "gui/dialogs/message_service.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace gui {

namespace {

class BoxMessageService : public MessageService {
public:
    bool question(QWidget* parent, const QString& text) override {
        return QMessageBox::question(parent, QApplication::applicationName(), text,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    }
    void information(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QApplication::applicationName(), text);
    }
    void warning(QWidget* parent, const QString& text) override {
        QMessageBox::warning(parent, QApplication::applicationName(), text);
    }
    void error(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QApplication::applicationName(), text);
    }
    bool warningQuestion(QWidget* parent, const QString& caption, const QString& text) override {
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parent);
        QPushButton* yes = box.addButton("&Ano", QMessageBox::YesRole);
        QPushButton* no = box.addButton("&Ne", QMessageBox::NoRole);
        box.setDefaultButton(no);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }
};

MessageService* g_installed = nullptr;

} // namespace

MessageService& MessageService::instance() {
    static BoxMessageService boxes;
    return g_installed != nullptr ? *g_installed : boxes;
}

void MessageService::install(MessageService* service) {
    g_installed = service;
}

} // namespace gui
