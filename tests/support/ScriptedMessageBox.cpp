#include "support/ScriptedMessageBox.h"

namespace orvia::test {

int ScriptedMessageBox::firstButtonAnswer(int style)
{
    return mb::firstButtonAnswer(style);
}

int ScriptedMessageBox::show(const QString &text, int style, const QString &title)
{
    Shown s{text, style, title, 0};
    if (m_onShow)
        m_onShow(s);
    if (!m_answers.empty()) {
        s.answer = m_answers.front();
        m_answers.pop_front();
    } else {
        s.answer = firstButtonAnswer(style);
    }
    m_shown.push_back(s);
    return s.answer;
}

void ScriptedMessageBox::queueAnswers(std::initializer_list<int> answers)
{
    for (int a : answers)
        m_answers.push_back(a);
}

QStringList ScriptedMessageBox::texts() const
{
    QStringList out;
    for (const auto &s : m_shown)
        out << s.text;
    return out;
}

bool ScriptedMessageBox::anyContains(const QString &part) const
{
    for (const auto &s : m_shown)
        if (s.text.contains(part))
            return true;
    return false;
}

} // namespace orvia::test
