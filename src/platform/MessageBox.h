#pragma once
// Modal message boxes. Button sets, icons and answers use the classic numeric codes so that the
// program's "OK only", "Yes/No + question" etc. read the same everywhere.
#include <QString>

namespace orvia {

namespace mb {
enum Buttons : int
{
    OkOnly = 0,
    OkCancel = 1,
    AbortRetryIgnore = 2,
    YesNoCancel = 3,
    YesNo = 4,
    RetryCancel = 5
};
enum Icon : int
{
    NoIcon = 0,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64
};
enum Answer : int
{
    Ok = 1,
    Cancel = 2,
    Abort = 3,
    Retry = 4,
    Ignore = 5,
    Yes = 6,
    No = 7
};
// Added to a style: the box comes up in front of every other window and takes the focus (the one box
// of a copy of the program that has no window of its own).
constexpr int Foreground = 0x10000;
// A style is buttons + icon, written either way round.
constexpr int operator+(Buttons b, Icon i)
{
    return int(b) + int(i);
}
constexpr int operator+(Icon i, Buttons b)
{
    return int(b) + int(i);
}
constexpr int operator|(Buttons b, Icon i)
{
    return int(b) | int(i);
}
constexpr int operator|(Icon i, Buttons b)
{
    return int(b) | int(i);
}
// The answer of a box's first button: what a box gives when nobody can choose.
inline int firstButtonAnswer(int style)
{
    switch (style & 7) {
    case AbortRetryIgnore:
        return Abort;
    case YesNoCancel:
    case YesNo:
        return Yes;
    case RetryCancel:
        return Retry;
    default:
        return Ok;
    }
}
} // namespace mb

inline const QString kAppTitle = QStringLiteral("Velmora Orvia Link");

class IMessageBox
{
public:
    virtual ~IMessageBox() = default;
    // style = buttons + icon; an empty title means the application title. Returns an mb::Answer.
    virtual int show(const QString &text, int style = mb::OkOnly, const QString &title = QString()) = 0;
};

} // namespace orvia
