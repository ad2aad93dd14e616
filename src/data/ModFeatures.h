#pragma once
// What one side of a synchronisation can hold. A plain value holder; nothing checks the fields
// against each other.
#include <QString>

namespace orvia {

class ModFeatures
{
public:
    QString name;           // "Outlook", or the phone's model text
    qint16 ME_capacity = 0; // phonebook places in the handset memory
    qint16 ME_filled = 0;   // places in use (desktop side: the number of contacts)
    qint16 SM_capacity = 0; // phonebook places on the SIM
    qint16 SM_filled = 0;
    qint16 NameLen = 0;      // longest name, in characters
    qint16 EmailLen = 0;     // longest e-mail address; 0: no e-mail
    qint16 CalBodyLen = 0;   // longest calendar text
    qint16 Cal_capacity = 0; // calendar capacity in events
    bool ExtPB = false;      // several typed numbers per contact
    bool writeable = false;

    // The eleven fields joined by commas, no line end; ME_capacity carries a leading blank when not
    // negative, the flags are "True"/"False".
    QString GetDataText() const;
    // Reads such a line. Type mismatch / overflow for a bad number, invalid argument for fewer than ten
    // commas; fields read before the failure keep their new values.
    void SetDataText(const QString &s);
};

} // namespace orvia
