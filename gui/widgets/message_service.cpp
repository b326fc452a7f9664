// Every message box and question of the front end goes through here.
#include "gui/widgets/message_service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace gui {

namespace {

// A message box wraps only between words; a long run without blanks (a path,
// a value the core could not read) would be cut at the box's edge. A
// zero-width space every so many characters lets it wrap there instead.
QString breakable(const QString& text) {
    constexpr int kLongestRun = 60;
    QString result;
    result.reserve(text.size());
    int run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestRun) {
            result += QChar(0x200B);
            run = 1;
        }
        result += c;
    }
    return result;
}

// A box that shows its text as it is: what the core or the user wrote is never
// taken for markup.
QMessageBox::StandardButton showBox(QMessageBox::Icon icon, QWidget* parent, const QString& text,
                                    QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QApplication::applicationName(), breakable(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

class BoxMessageService : public MessageService {
public:
    bool question(QWidget* parent, const QString& text) override {
        return showBox(QMessageBox::Question, parent, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }
    int choose(QWidget* parent, const QString& text, const QStringList& choices) override {
        QMessageBox box(QMessageBox::Question, QApplication::applicationName(), breakable(text),
                        QMessageBox::NoButton, parent);
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton*> buttons;
        for (qsizetype i = 0; i < choices.size(); ++i)
            buttons.append(box.addButton(choices[i], i + 1 < choices.size()
                                                         ? QMessageBox::AcceptRole
                                                         : QMessageBox::RejectRole));
        if (!buttons.isEmpty()) box.setEscapeButton(buttons.constLast());
        box.exec();
        const qsizetype chosen = buttons.indexOf(box.clickedButton());
        return static_cast<int>(chosen >= 0 ? chosen : choices.size() - 1);
    }
    void information(QWidget* parent, const QString& text) override {
        showBox(QMessageBox::Information, parent, text, QMessageBox::Ok);
    }
    void warning(QWidget* parent, const QString& text) override {
        showBox(QMessageBox::Warning, parent, text, QMessageBox::Ok);
    }
    void error(QWidget* parent, const QString& text) override {
        showBox(QMessageBox::Critical, parent, text, QMessageBox::Ok);
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
