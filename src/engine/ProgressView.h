#pragma once
// What the run needs of the progress window: the engine drives it, the shell's Qt window and the
// tests' recording double implement it.
#include <QString>

namespace orvia {

enum class ViewButton
{
    Details,
    Stop,
    Done
};

class IProgressView
{
public:
    virtual ~IProgressView() = default;
    virtual void setProgressText(const QString &text) = 0;
    virtual QString progressText() const = 0;
    virtual void setOperationBar(int percent) = 0; // the endpoint's own progress
    virtual void setOverallBar(int percent) = 0;   // the run's step
    virtual int overallBar() const = 0;
    virtual void setButtonVisible(ViewButton b, bool visible) = 0;
    virtual void setButtonEnabled(ViewButton b, bool enabled) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void appendDebugLog(const QString &text) = 0; // the hidden debug box
    virtual void clearDebugLog() = 0;
};

} // namespace orvia
