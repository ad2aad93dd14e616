#pragma once
// An item of a kind the program does not handle, such as a task or a journal entry in a calendar folder
// (collections on calendar servers mix them with events): it is listed and counted like any item, and
// never written.
#include "platform/pim/PimItem.h"

namespace orvia::pim {

class OtherItem : public PimItem
{
public:
    OtherItem(const QString &typeName, qint32 objectClass) : m_typeName(typeName), m_class(objectClass) {}

    QString TypeName() const override { return m_typeName; }
    qint32 Class() const override { return m_class; }

protected:
    QByteArray serialize() const override { return QByteArray(); }
    QString uid() const override { return QString(); }
    void setUid(const QString &) override {}
    QString fileExtension() const override { return QStringLiteral(".ics"); }
    void beforeSave() override; // throws RuntimeError 4096

private:
    QString m_typeName;
    qint32 m_class;
};

} // namespace orvia::pim
