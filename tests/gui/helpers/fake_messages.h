// A MessageService for tests: records every box and answers questions from a queue.
#pragma once

#include "gui/widgets/message_service.h"

#include <QStringList>
#include <deque>

namespace veldron::testing {

class FakeMessages : public gui::MessageService {
public:
    FakeMessages() { gui::MessageService::install(this); }
    ~FakeMessages() override { gui::MessageService::install(nullptr); }

    /// Answers for the coming questions, in order; with none queued the answer is No.
    std::deque<bool> answers;
    /// Every text shown, in order, prefixed "Q:", "I:", "W:" or "E:".
    QStringList shown;

    bool question(QWidget*, const QString& text) override {
        shown << "Q:" + text;
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void information(QWidget*, const QString& text) override { shown << "I:" + text; }
    void warning(QWidget*, const QString& text) override { shown << "W:" + text; }
    void error(QWidget*, const QString& text) override { shown << "E:" + text; }
};

} // namespace veldron::testing
