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
    /// Answers for the coming choices (indices), in order; with none queued
    /// the last choice (the cancel).
    std::deque<int> choices;
    /// Every text shown, in order, prefixed "Q:", "C:", "I:", "W:" or "E:"; a
    /// choice's answers follow its text, each after " | ".
    QStringList shown;

    bool question(QWidget*, const QString& text) override {
        shown << "Q:" + text;
        if (answers.empty()) return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    int choose(QWidget*, const QString& text, const QStringList& offered) override {
        shown << "C:" + text + " | " + offered.join(" | ");
        if (choices.empty()) return int(offered.size()) - 1;
        const int chosen = choices.front();
        choices.pop_front();
        return chosen;
    }
    void information(QWidget*, const QString& text) override { shown << "I:" + text; }
    void warning(QWidget*, const QString& text) override { shown << "W:" + text; }
    void error(QWidget*, const QString& text) override { shown << "E:" + text; }
};

} // namespace veldron::testing
