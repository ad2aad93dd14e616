#include "shell/FormAutoConn.h"
#include "common/Translation.h"
#include "shell/SetupHooks.h"
#include "shell/TranslateCaption.h"
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvia {

FormAutoConn::FormAutoConn(ISetupWindow *setup, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_setup(setup)
{
    setObjectName(QStringLiteral("FormAutoConn"));
    setModal(true);
    setWindowTitle(Translate(QStringLiteral("Connection")));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label1->setWordWrap(true);
    Label1->setMargin(8);
    Label1->setFixedWidth(420);
    Label1->setText(
        Translate(QStringLiteral("This is the first time you run Velmora Orvia Link.")) +
        QStringLiteral("\r\n") +
        Translate(QStringLiteral("You'll need to setup the serial connection with the phone.")) +
        QStringLiteral("\r\n") +
        Translate(QStringLiteral("Please connect the cable to the serial port and the phone to the "
                                 "cable. Then turn the phone on.")) +
        QStringLiteral("\r\n") +
        Translate(QStringLiteral("Select then Manual Connect if you know to which port the phone is "
                                 "connected, otherwise press Auto Connect.")));
    Command1 = new QPushButton(QStringLiteral("Auto Connect"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("Manual Connect"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    TranslateCaption(Command1);
    TranslateCaption(Command2);
    Command1->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Label1);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(Command1, &QPushButton::clicked, this, [this] { autoConnect(); });
    connect(Command2, &QPushButton::clicked, this, [this] { manualConnect(); });
}

QString FormAutoConn::instructions() const
{
    return Label1->text();
}

void FormAutoConn::autoConnect()
{
    hide();
    if (m_setup)
        m_setup->startAutoDetection();
}

void FormAutoConn::manualConnect()
{
    hide();
    if (m_setup)
        m_setup->showWindow();
}

} // namespace orvia
