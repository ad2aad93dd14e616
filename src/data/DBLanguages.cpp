#include "data/DBLanguages.h"

#include "common/LanguageScrambler.h"
#include "common/NumberText.h"
#include "common/Windows1252.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace orvia {

DBLanguageItem *DBLanguages::AddItem(std::unique_ptr<DBLanguageItem> item)
{
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

DBLanguageItem *DBLanguages::GetItem(int Index) const
{
    if (Index < 0 || Index >= count())
        return nullptr;
    return m_items[size_t(Index)].get();
}

bool DBLanguages::Load(const QString &filename, bool crypt)
{
    const QFileInfo info(filename);
    if (filename.trimmed().isEmpty() || !info.isFile())
        return false;
    Clear();
    if (info.size() > kMaxFileBytes)
        return false;
    QFile file(filename);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read one byte past the limit so a file that grew since the size check is still refused.
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return false;
    return LoadBytes(bytes, crypt);
}

bool DBLanguages::LoadBytes(const QByteArray &bytes, bool crypt)
{
    Clear();
    if (bytes.size() > kMaxFileBytes)
        return false;
    QString text;
    if (crypt) {
        if (!UnscrambleBytes(bytes, text))
            return false;
    } else {
        // The plain form ends with one byte that is not text.
        text = fromWindows1252(bytes.left(bytes.size() - 1));
    }
    if (!parseText(text)) {
        Clear();
        return false;
    }
    return true;
}

// Header line, then up to `count` record lines, each ended by CR and one more character (LF). Text after
// the last record is not read. A file that ends before its header line or before the records its header
// counts has been cut short and is refused.
bool DBLanguages::parseText(const QString &text)
{
    if (!text.startsWith(u','))
        return false;
    qsizetype pos = 0;
    qint32 expected = -1;
    for (qint64 k = 0;; ++k) {
        const qsizetype cr = text.indexOf(u'\r', pos);
        if (cr < 0)
            break;
        const QString line = text.mid(pos, cr - pos);
        if (k == 0) {
            const qsizetype comma = line.indexOf(u',');
            try {
                expected = textToInt32(line.mid(comma + 1));
            } catch (const RuntimeError &) {
                return false;
            }
            if (expected < 0)
                return false;
            name = line.left(comma);
        } else {
            if (k == qint64(expected) + 1)
                break;
            if (count() >= kMaxRecords)
                return false;
            auto item = std::make_unique<DBLanguageItem>();
            try {
                item->SetDataText(line);
            } catch (const RuntimeError &) {
                return false;
            }
            AddItem(std::move(item));
        }
        pos = cr + 2;
    }
    return expected >= 0 && count() == expected;
}

bool DBLanguages::Save(const QString &filename, bool cryp) const
{
    const QString text = GetDataText();
    const QByteArray bytes = cryp ? ScrambleText(text) : toWindows1252(text);
    QSaveFile file(filename);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString DBLanguages::GetDataText() const
{
    QString out = name + u',' + QString::number(count()) + QStringLiteral("\r\n");
    for (const auto &item : m_items)
        out += item->GetDataText();
    return out;
}

void DBLanguages::log() const
{
    // Built for the log's sake only; the log writes nothing of it.
    const QString text = GetDataText();
    Q_UNUSED(text);
}

void DBLanguages::add(qint16 id, const QString &language, const QString &keyword, const QString &Text)
{
    Q_UNUSED(keyword);
    auto item = std::make_unique<DBLanguageItem>();
    item->id = id;
    item->language = language;
    item->Text = Text;
    AddItem(std::move(item));
}

int DBLanguages::GetLocationByIDLan(qint16 id, const QString &language) const
{
    for (int i = 0; i < count(); ++i) {
        const DBLanguageItem &r = *m_items[size_t(i)];
        if (r.id == id && r.language == language)
            return i;
    }
    return -1;
}

void DBLanguages::deleteAt(int position)
{
    if (position < 0 || position >= count())
        throwError(ErrSubscript);
    m_items.erase(m_items.begin() + position);
}

qint16 DBLanguages::GetLastId() const
{
    qint16 last = 0;
    for (const auto &item : m_items) {
        if (item->id > last)
            last = item->id;
    }
    return last;
}

qint16 DBLanguages::GetIdByText(const QString &text) const
{
    for (const auto &item : m_items) {
        if (item->language == u"en" && item->Text == text)
            return item->id;
    }
    return 0;
}

QString DBLanguages::GetTextByIdLang(qint16 id, const QString &language) const
{
    for (const auto &item : m_items) {
        if (item->id == id && item->language == language)
            return item->Text;
    }
    return QString();
}

QString DBLanguages::Tran(const QString &text, const QString &language) const
{
    QString t = GetTextByIdLang(GetIdByText(text), language);
    if (t.isEmpty())
        t = language != u"en" ? u'_' + text + u'_' : text;
    return t;
}

StringArray DBLanguages::GetAllTranslations(const QString &text) const
{
    StringArray out;
    const qint16 id = GetIdByText(text);
    for (const auto &item : m_items) {
        if (item->id == id)
            out.add(item->Text);
    }
    return out;
}

} // namespace orvia
