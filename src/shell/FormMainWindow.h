#pragma once
// The main window as the user sees it: the progress window of a run. It shows what the run hub
// (FormMain) tells it and passes its buttons and close requests back to the hub.
#include "engine/ProgressView.h"
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace orvia {

class FormMain;

class FormMainWindow : public QWidget, public IProgressView
{
    Q_OBJECT
public:
    explicit FormMainWindow(QWidget *parent = nullptr);
    void setHub(FormMain *hub) { m_hub = hub; }

    // IProgressView
    void setProgressText(const QString &text) override;
    QString progressText() const override;
    void setOperationBar(int percent) override;
    void setOverallBar(int percent) override;
    int overallBar() const override;
    void setButtonVisible(ViewButton b, bool visible) override;
    void setButtonEnabled(ViewButton b, bool enabled) override;
    void setBusyCursor(bool busy) override;
    void showWindow() override;
    void hideWindow() override;
    void appendDebugLog(const QString &text) override;
    void clearDebugLog() override;

    QPushButton *button(ViewButton b) const;
    // The start-up translates the labels' and buttons' captions once the language is known.
    void translateCaptions();
    // The end of the user's session closes the window with this mode.
    void closeForSessionEnd();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FormMain *m_hub = nullptr;
    int m_unloadMode = 0;
    bool m_placed = false; // centred at its first showing
    QLabel *Label1, *Label2, *Label3, *Image1;
    QPlainTextEdit *TextProgress, *Text1;
    QProgressBar *ProgressBar, *ProgressBar1;
    QPushButton *CommandELog, *CommandStop, *CommandDone;
};

} // namespace orvia
