#pragma once
// A message box that records every box shown and answers from a script (by default the first button).
#include "platform/MessageBox.h"
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace orvia::test {

class ScriptedMessageBox : public IMessageBox
{
public:
    struct Shown
    {
        QString text;
        int style = 0;
        QString title; // as passed: empty means the application title
        int answer = 0;
    };

    int show(const QString &text, int style = mb::OkOnly, const QString &title = QString()) override;

    // Answers for the next boxes, in order; once used up, boxes get the first button's answer.
    void queueAnswers(std::initializer_list<int> answers);
    void queueAnswer(int answer) { m_answers.push_back(answer); }
    // Runs while a box is "open" (a real modal box runs the message loop), before it is answered.
    void setOnShow(std::function<void(const Shown &)> f) { m_onShow = std::move(f); }

    const std::vector<Shown> &shown() const { return m_shown; }
    int count() const { return int(m_shown.size()); }
    QStringList texts() const;
    const Shown &last() const { return m_shown.back(); }
    bool anyContains(const QString &part) const;
    void clear() { m_shown.clear(); }

    static int firstButtonAnswer(int style);

private:
    std::vector<Shown> m_shown;
    std::deque<int> m_answers;
    std::function<void(const Shown &)> m_onShow;
};

} // namespace orvia::test
