#pragma once
// The items of one folder: count, access by position from 1, search by full name, and new items.
#include <QString>
#include <memory>

namespace orvia::pim {

class FolderStore;
class PimItem;

class PimItems
{
public:
    explicit PimItems(std::shared_ptr<FolderStore> store);

    qint32 count() const;
    // Throws RuntimeError 9 out of range, 4096 for a file that cannot be read.
    std::shared_ptr<PimItem> Item(qint32 position) const;
    // Filter "[FullName] = "name"": a quote inside the name is written twice, as in any quoted filter
    // text; the name is matched exactly against each full name without its outer blanks, as a contacts
    // run reads it. Returns nullptr when no contact has that name. Throws
    // RuntimeError 5 for any other filter.
    std::shared_ptr<PimItem> Find(const QString &filter) const;
    // A new, unsaved item of the folder's kind.
    std::shared_ptr<PimItem> add() const;
    // True when a file of the folder was written or removed since the last call, by any of its items.
    bool takeUnsyncedChanges() const;

    // The filter that finds `name` exactly, whatever characters it holds.
    static QString fullNameFilter(const QString &name);

private:
    std::shared_ptr<FolderStore> m_store;
};

} // namespace orvia::pim
