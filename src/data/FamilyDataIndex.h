#pragma once
// Which data the families of one algorithm run hold, gathered from a family on its first look-up and kept
// up to date by the caller's notes, so a presence test costs no scan of the family. Valid only while the
// families' records change through `note` alone.
#include "data/DBPhonebook.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <QString>

namespace orvia {

class IMessageLoop;

class FamilyDataIndex
{
public:
    // A record of kind `typ` with exactly this data.
    bool holdsDatum(const DBPhonebook &family, qint16 typ, const QString &data);
    // A record of any kind with exactly this data.
    bool holdsData(const DBPhonebook &family, const QString &data);
    void note(const DBPhonebook &family, qint16 typ, const QString &data);

private:
    struct Held
    {
        QSet<QPair<qint16, QString>> datums;
        QSet<QString> texts;
    };
    Held &held(const DBPhonebook &family);

    QHash<const DBPhonebook *, Held> m_held;
};

// Lets window, timer and serial events through once, when there is a message loop to yield to.
void yieldTo(IMessageLoop *loop);

} // namespace orvia
