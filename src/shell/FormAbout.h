#pragma once
// The about window: program version, operating system, desktop store version and supported phones.
// Made anew at every opening.
#include "shell/ProgramVersion.h"
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orvia {

class ISystemServices;

class FormAbout : public QDialog
{
    Q_OBJECT
public:
    FormAbout(const ISystemServices &system, ProgramVersion version, QWidget *parent = nullptr);
    // The text of the information box, lines joined by CR LF.
    static QString aboutText(const ISystemServices &system, ProgramVersion version);
    QString shownText() const;

private:
    QLabel *Label1;
    QPlainTextEdit *Text1;
    QPushButton *Command1;
};

} // namespace orvia
