#include "shell/FormErrorLog.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "platform/MessageBox.h"
#include "shell/TranslateCaption.h"
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvia {

FormErrorLog::FormErrorLog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormErrorLog"));
    setModal(true);
    TextLog = new QPlainTextEdit(this);
    TextLog->setObjectName(QStringLiteral("TextLog"));
    TextLog->setReadOnly(true);
    TextLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextLog->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Command1 = new QPushButton(QStringLiteral("Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    TranslateCaption(Command1);
    setWindowTitle(kAppTitle + QStringLiteral(" - ") + Translate(QStringLiteral("Details")));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(TextLog, 1);
    top->addLayout(buttons);
    setFixedSize(520, 340);
    connect(Command1, &QPushButton::clicked, this, [this] { hide(); });
}

void FormErrorLog::refresh()
{
    QString text = globals().gDetails;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    TextLog->setPlainText(text);
}

QString FormErrorLog::shownText() const
{
    return TextLog->toPlainText();
}

void FormErrorLog::showEvent(QShowEvent *event)
{
    refresh();
    QDialog::showEvent(event);
}

bool FormErrorLog::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        refresh();
    return QDialog::event(event);
}

} // namespace orvia
