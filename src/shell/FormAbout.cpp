#include "shell/FormAbout.h"
#include "common/Globals.h"
#include "common/SystemInfo.h"
#include "common/Translation.h"
#include "platform/MessageBox.h"
#include "shell/TranslateCaption.h"
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>

namespace orvia {

namespace {
constexpr int kWidth = 351;
constexpr int kHeight = 357;
} // namespace

QString FormAbout::aboutText(const ISystemServices &system, ProgramVersion version)
{
    QStringList lines;
    lines << QStringLiteral("Velmora Orvia Link ") + Translate(QStringLiteral("version")) +
                 QStringLiteral(": ") + version.full();
    lines << Translate(QStringLiteral("Running operating system")) + QStringLiteral(": ") +
                 GetWinVersion(system);
    lines << QStringLiteral("Microsoft\u00AE Outlook\u00AE ") + Translate(QStringLiteral("version")) +
                 QStringLiteral(": ") + globals().gOutlookVersion;
    lines << Translate(QStringLiteral("Supported phones")) + QLatin1Char(':');
    for (const char *model : {"TRV-D240", "TRV-K110", "TRV-K310", "TRV-G170", "TRV-G470", "TRV-M230",
                              "TRV-F550", "TRV-F660", "TRV-H280X", "TRV-L420"})
        lines << QLatin1String(model);
    return lines.join(QStringLiteral("\r\n"));
}

FormAbout::FormAbout(const ISystemServices &system, ProgramVersion version, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormAbout"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(kWidth, kHeight);
    auto *background = new QLabel(this);
    background->setGeometry(0, 0, kWidth, kHeight);
    background->setPixmap(QPixmap(QStringLiteral(":/images/about_background.png")));

    Label1 = new QLabel(QStringLiteral("Synchronization software for Velmora phones and Microsoft Outlook."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->setGeometry(16, 14, kWidth - 32, 56);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setGeometry(16, 78, kWidth - 32, 222);
    QString shown = aboutText(system, version);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Text1->setPlainText(shown);
    Text1->setProperty("aboutText", aboutText(system, version));
    Command1 = new QPushButton(QStringLiteral("Close"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(kWidth - 136, kHeight - 44, 120, 30);

    TranslateCaption(Command1);
    TranslateCaption(Label1);
    TranslateCaption(this);
    setWindowTitle(kAppTitle + QStringLiteral(" - ") + Translate(QStringLiteral("About")));
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

QString FormAbout::shownText() const
{
    return Text1->property("aboutText").toString();
}

} // namespace orvia
