#pragma once
// The first-run window: explains the cable set-up and offers automatic or manual connection.
#include <QDialog>

class QLabel;
class QPushButton;

namespace orvia {

class ISetupWindow;

class FormAutoConn : public QDialog
{
    Q_OBJECT
public:
    explicit FormAutoConn(ISetupWindow *setup, QWidget *parent = nullptr);
    QString instructions() const;
    void autoConnect();   // "Auto Connect"
    void manualConnect(); // "Manual Connect"

private:
    ISetupWindow *m_setup;
    QLabel *Label1;
    QPushButton *Command1, *Command2;
};

} // namespace orvia
