#pragma once
// What the phonebook and calendar stores share: an ordered list of records kept by reference (AddItem
// stores the very record it is given, so one record can sit in several stores), indexed access with
// its error rules, and the store file form "name,count" followed by one line per record.
#include "common/Globals.h"
#include "data/ListLimits.h"
#include "data/StoreFile.h"
#include "platform/RuntimeError.h"

#include <QList>
#include <QString>
#include <memory>

namespace orvia {

template <class Item> class RecordStore
{
public:
    QString name;

    qint16 count() const { return qint16(m_items.size()); }
    // Throws the overflow error when the store already holds 32767 records.
    void AddItem(std::shared_ptr<Item> item)
    {
        checkListRoom(m_items.size(), 1);
        m_items.append(std::move(item));
    }
    // Index past the last record: null and a log line "<name>array seek ot of range". A negative index,
    // or any index on an empty store: the subscript error.
    std::shared_ptr<Item> GetItem(qint16 Index) const
    {
        if (Index < 0 || m_items.isEmpty())
            throwError(ErrSubscript);
        if (Index >= m_items.size()) {
            globals().gLog.log(name + QStringLiteral("array seek ot of range"), true);
            return nullptr;
        }
        return m_items.at(Index);
    }
    // Header line "name,count" and one line per record, each ended by CR LF.
    QString GetDataText() const
    {
        QString text = name + u',' + QString::number(count()) + QStringLiteral("\r\n");
        for (const auto &item : m_items)
            text += item->GetDataText();
        return text;
    }
    void log() const
    {
        try {
            (void)GetDataText();
        } catch (...) {
        }
    }
    void Clear() { m_items.clear(); }

protected:
    // Replaces the content by a store file's. On any failure (file errors, malformed lines) the store is
    // left as it was and the error is thrown.
    void loadFile(const QString &filename)
    {
        const StoreFileContent content = readStoreFile(filename);
        QList<std::shared_ptr<Item>> items;
        items.reserve(content.lines.size());
        for (const QString &line : content.lines) {
            auto item = std::make_shared<Item>();
            item->SetDataText(line);
            items.append(std::move(item));
        }
        name = content.name;
        m_items = std::move(items);
    }
    // Names the store `storeName` and writes its file (replaced whole, never half-written).
    void saveFile(const QString &filename, const QString &storeName)
    {
        name = storeName;
        writeStoreFile(filename, GetDataText());
    }

    QList<std::shared_ptr<Item>> m_items;
};

} // namespace orvia
