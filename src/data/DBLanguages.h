#pragma once
// The translation table: every translation of every phrase the program shows, loaded once at start-up
// from the scrambled language file. Lookups scan from the first record and stop at the first match.
#include "data/DBLanguageItem.h"
#include "data/StringArray.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

namespace orvia {

class DBLanguages
{
public:
    // Largest file Load reads; a real language file is a few dozen kilobytes.
    static constexpr qsizetype kMaxFileBytes = 4 * 1024 * 1024;
    // The table holds at most this many records, like the program's other 16-bit counted lists.
    static constexpr int kMaxRecords = 32767;

    QString name; // first field of the header line; empty in the language file

    int count() const { return int(m_items.size()); }
    // Takes ownership and appends; returns the stored record.
    DBLanguageItem *AddItem(std::unique_ptr<DBLanguageItem> item);
    // The record at a 0-based position; null outside 0..count-1.
    DBLanguageItem *GetItem(int Index) const;

    // Reads the language file. True when the table was loaded. False, with the table untouched, for a
    // missing file; false, with the table empty, for a file that cannot be read, is too large, fails
    // its check byte, does not begin with ",", holds a malformed header or record line, or ends before
    // the records its header counts. Lines beyond the counted records are ignored.
    bool Load(const QString &filename, bool crypt);
    // The same from the file's bytes.
    bool LoadBytes(const QByteArray &bytes, bool crypt);
    // Writes the table's text form, scrambled or as plain Windows-1252 bytes. The old file is replaced
    // only once the new one is complete. False when it cannot be written.
    bool Save(const QString &filename, bool cryp) const;

    // Header line ("name,count" CR LF) followed by every record's line.
    QString GetDataText() const;
    void log() const;
    void Clear() { m_items.clear(); }
    // Appends a new record; `keyword` is accepted and not used.
    void add(qint16 id, const QString &language, const QString &keyword, const QString &Text);
    // Position of the first record with this id and language; -1 when none.
    int GetLocationByIDLan(qint16 id, const QString &language) const;
    // Removes the record at a position; the subscript error outside 0..count-1.
    void deleteAt(int position);
    // Highest id over all records; 0 for an empty table.
    qint16 GetLastId() const;
    // Id of the first English record whose text equals `text` exactly; 0 when none.
    qint16 GetIdByText(const QString &text) const;
    // Text of the first record with this id and language; empty when none.
    QString GetTextByIdLang(qint16 id, const QString &language) const;
    // The translation of an English text into `language`; a text without one comes back between
    // underscores (unchanged for "en").
    QString Tran(const QString &text, const QString &language) const;
    // The text of every record of the phrase, English included, in table order.
    StringArray GetAllTranslations(const QString &text) const;

private:
    bool parseText(const QString &text);

    std::vector<std::unique_ptr<DBLanguageItem>> m_items;
};

} // namespace orvia
