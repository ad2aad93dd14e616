#include "shell/FormMainWindow.h"
#include "engine/FormMain.h"
#include "platform/MessageBox.h"
#include "shell/ScreenPlacement.h"
#include "shell/TranslateCaption.h"
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace orvia {

FormMainWindow::FormMainWindow(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(kAppTitle);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(300, 97);
    Image1->setScaledContents(true);
    QPixmap logo(QStringLiteral(":/images/logo.png"));
    if (!logo.isNull())
        Image1->setPixmap(logo);

    Label1 = new QLabel(QStringLiteral("Status"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    TextProgress = new QPlainTextEdit(this);
    TextProgress->setObjectName(QStringLiteral("TextProgress"));
    TextProgress->setReadOnly(true);
    TextProgress->setMinimumHeight(130);
    TextProgress->setMinimumWidth(400);

    Label3 = new QLabel(QStringLiteral("Operation progress"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    Label2 = new QLabel(QStringLiteral("Overall progress"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    CommandELog = new QPushButton(QStringLiteral("Details"), this);
    CommandELog->setObjectName(QStringLiteral("CommandELog"));
    CommandELog->setEnabled(false);
    CommandStop = new QPushButton(QStringLiteral("Stop"), this);
    CommandStop->setObjectName(QStringLiteral("CommandStop"));
    CommandStop->setFont(bold);
    CommandStop->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
    CommandDone = new QPushButton(QStringLiteral("Done"), this);
    CommandDone->setObjectName(QStringLiteral("CommandDone"));

    // The debug box is kept out of sight; a double-click clears it.
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setFont(QFont(QStringLiteral("Monospace")));
    Text1->hide();
    Text1->viewport()->installEventFilter(this);

    auto *bars = new QGridLayout;
    bars->addWidget(Label3, 0, 0);
    bars->addWidget(ProgressBar, 0, 1);
    bars->addWidget(Label2, 1, 0);
    bars->addWidget(ProgressBar1, 1, 1);
    bars->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CommandELog);
    buttons->addStretch(1);
    buttons->addWidget(CommandStop);
    buttons->addWidget(CommandDone);
    auto *top = new QVBoxLayout(this);
    top->addWidget(Image1, 0, Qt::AlignHCenter);
    top->addWidget(Label1);
    top->addWidget(TextProgress, 1);
    top->addLayout(bars);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(420);

    connect(CommandDone, &QPushButton::clicked, this, [this] {
        if (m_hub)
            m_hub->clickDone();
    });
    connect(CommandStop, &QPushButton::clicked, this, [this] {
        if (m_hub)
            m_hub->clickStop();
    });
    connect(CommandELog, &QPushButton::clicked, this, [this] {
        if (m_hub)
            m_hub->clickDetails();
    });
}

void FormMainWindow::setProgressText(const QString &text)
{
    // The run writes CR LF line ends; the text box shows lines.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    TextProgress->setPlainText(shown);
    TextProgress->setProperty("runText", text);
}

QString FormMainWindow::progressText() const
{
    return TextProgress->property("runText").toString();
}

void FormMainWindow::setOperationBar(int percent)
{
    ProgressBar->setValue(percent);
}

void FormMainWindow::setOverallBar(int percent)
{
    ProgressBar1->setValue(percent);
}

int FormMainWindow::overallBar() const
{
    return ProgressBar1->value();
}

QPushButton *FormMainWindow::button(ViewButton b) const
{
    switch (b) {
    case ViewButton::Details:
        return CommandELog;
    case ViewButton::Stop:
        return CommandStop;
    case ViewButton::Done:
        return CommandDone;
    }
    return CommandDone;
}

void FormMainWindow::translateCaptions()
{
    for (QObject *c :
         std::initializer_list<QObject *>{Label1, Label2, Label3, CommandDone, CommandELog, CommandStop})
        TranslateCaption(c);
}

void FormMainWindow::setButtonVisible(ViewButton b, bool visible)
{
    button(b)->setVisible(visible);
}

void FormMainWindow::setButtonEnabled(ViewButton b, bool enabled)
{
    button(b)->setEnabled(enabled);
}

void FormMainWindow::setBusyCursor(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void FormMainWindow::showWindow()
{
    if (!m_placed) {
        m_placed = true;
        centreOnScreen(*this);
    }
    showNormal();
    raise();
    activateWindow();
}

void FormMainWindow::hideWindow()
{
    hide();
}

void FormMainWindow::appendDebugLog(const QString &text)
{
    Text1->moveCursor(QTextCursor::End);
    Text1->insertPlainText(text);
}

void FormMainWindow::clearDebugLog()
{
    Text1->clear();
}

void FormMainWindow::closeForSessionEnd()
{
    m_unloadMode = 2;
    close();
    m_unloadMode = 0;
}

void FormMainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_hub) {
        event->accept();
        return;
    }
    const int cancel = m_hub->queryUnload(0, m_unloadMode);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void FormMainWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_hub)
        m_hub->resize();
}

bool FormMainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonDblClick && m_hub)
        m_hub->debugBoxEvent();
    return QWidget::eventFilter(watched, event);
}

} // namespace orvia
