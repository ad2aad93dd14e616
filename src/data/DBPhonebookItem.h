#pragma once
// One datum of one contact: its name, a number (mobile/other, home, work) or an e-mail address. The
// records of one contact share `id`.
#include "data/ContactKind.h"
#include "data/Operation.h"

#include <QString>

namespace orvia {

class DBPhonebookItem
{
public:
    QString memory;      // "ME" handset, "SM" SIM; empty for desktop records
    QString data;        // name, number or address
    qint16 location = 0; // storage index in the phone memory, from 1; 0 for none
    qint16 id = 0;       // contact number
    ContactKind typ = ContactKind::Name;
    Operation operation = Operation::None;

    // "id,location,memory,operation,escaped data,typ" and CR LF.
    QString GetDataText() const;
    // Reads such a line (without its line end). Throws the runtime error of a missing comma or a bad
    // number; fields read before the failure keep their new values.
    void SetDataText(const QString &s);
};

} // namespace orvia
