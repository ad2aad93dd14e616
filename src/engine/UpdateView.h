#pragma once
// What the update check needs of the setup window's update page: its status text and the state of
// the "Update Orvia Link" button.
#include <QString>

namespace orvia {

class IUpdateView
{
public:
    virtual ~IUpdateView() = default;
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    // Puts the caret at `position`, or at the end of a shorter text, and scrolls it into view.
    virtual void setStatusCaret(int position) = 0;
    virtual void setUpdateEnabled(bool enabled) = 0;
    virtual bool updateEnabled() const = 0;
};

} // namespace orvia
