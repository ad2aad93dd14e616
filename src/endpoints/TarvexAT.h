#pragma once
// The driver of the Tarvex software family's handsets (G170, F550, F660, H280X).
// Its state numbers: identification 1-7, phonebook read 8-10 and write 11-13, calendar read 14-15 and
// write 16-17.
#include "endpoints/AtDriverBase.h"
#include "endpoints/PhoneModels.h"

namespace orvia {

class TarvexAT : public AtDriverBase
{
public:
    static constexpr qint16 kCalendarSlots = 50;

    explicit TarvexAT(IMessageBox *messageBox);

    // "Tarvex" once the family reply named it, else empty.
    QString family() const { return m_family; }

protected:
    QString featuresName() const override { return m_family; }
    bool ownsModel(const QString &name) const override { return familyOf(name) == ModelFamily::Tarvex; }
    bool categoryDigit() const override { return false; }
    void onInit() override;
    QString trayPhoneText() const override;
    QString startCalendarRead() override;
    bool nextCalendarRead() override;
    bool SendNextCalendarItem(qint16 &counter) override;
    bool handleErrorReply() override;
    void dispatchFamily(const QString &echo) override;

private:
    void ParseCalendarEntry(const QString &line);

    QString m_family;
};

} // namespace orvia
