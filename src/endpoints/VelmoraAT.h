#pragma once
// The driver of the maker's own handsets, identified by a model code (K110, K310, M230, L420, D240).
// Its state numbers: identification 1-6, phonebook read 7-9 and write 10-12, calendar read 13-14 and
// write 15-16.
#include "endpoints/AtDriverBase.h"

namespace orvia {

class VelmoraAT : public AtDriverBase
{
public:
    explicit VelmoraAT(IMessageBox *messageBox);

    // The model code recognised in the model reply; empty until then.
    QString PhoneModel() const { return m_model; }

protected:
    QString featuresName() const override { return m_model; }
    bool ownsModel(const QString &name) const override;
    bool categoryDigit() const override;
    void traceSend() override;
    QString trayPhoneText() const override { return m_model + QLatin1Char(' '); }
    QString startCalendarRead() override;
    bool nextCalendarRead() override { return false; } // the one reply held the whole calendar
    bool SendNextCalendarItem(qint16 &counter) override;
    bool handleErrorReply() override;
    void dispatchFamily(const QString &echo) override;
    QString storedName(const QString &name, const QString &mem) const override;

private:
    void ParseCalendarList(QString &text);

    QString m_model;
};

} // namespace orvia
