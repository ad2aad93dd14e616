#include "engine/CapacityMessage.h"

#include "endpoints/RunCapacity.h"

namespace orvia {

QString capacityMessage(const RunCapacityError &e, const std::function<QString(const QString &)> &tr)
{
    const QString crlf = QStringLiteral("\r\n");
    const QString records = tr(QStringLiteral("names, numbers and addresses"));
    const bool contacts = e.folder() == RunCapacityError::Folder::Contacts;
    QString text;
    if (contacts) {
        text = tr(QStringLiteral("The Outlook contacts folder holds more than one synchronization can.")) +
               crlf + tr(QStringLiteral("Contacts in the folder:")) + u' ' + QString::number(e.items()) +
               QStringLiteral(" (") + QString::number(e.records()) + u' ' + records + u')' + crlf;
    } else {
        text = tr(QStringLiteral("The Outlook calendar folder holds more than one synchronization can.")) +
               crlf + tr(QStringLiteral("Events in the folder:")) + u' ' + QString::number(e.items()) + crlf;
    }
    text += tr(QStringLiteral("One synchronization can hold at most:")) + u' ' +
            QString::number(RunCapacityError::kCapacity) + u' ' +
            (contacts ? records : tr(QStringLiteral("events"))) + crlf +
            tr(QStringLiteral("Nothing was changed on the phone or in Outlook.")) + crlf;
    text += contacts ? tr(QStringLiteral("Choose a smaller contacts folder in the setup window, or move some "
                                         "contacts to another folder."))
                     : tr(QStringLiteral("Choose a smaller calendar folder in the setup window, or move some "
                                         "events to another folder."));
    return text;
}

} // namespace orvia
