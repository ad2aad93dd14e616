#pragma once
// The details window: the notices the last synchronisation run collected. Loaded once, then only
// hidden and shown; each activation shows the current text.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace orvia {

class FormErrorLog : public QDialog
{
    Q_OBJECT
public:
    explicit FormErrorLog(QWidget *parent = nullptr);
    QString shownText() const;
    // Takes the current details text.
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    QPlainTextEdit *TextLog;
    QPushButton *Command1;
};

} // namespace orvia
