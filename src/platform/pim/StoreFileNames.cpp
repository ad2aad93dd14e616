#include "platform/pim/StoreFileNames.h"

#include <cstring>

namespace orvia::pim {

const char *folderMarkerName()
{
    return ".orvia-folder";
}

bool hasExtension(const QByteArray &name, const char *ext)
{
    const qsizetype n = qsizetype(std::strlen(ext));
    return name.size() > n && qstrnicmp(name.constData() + name.size() - n, ext, size_t(n)) == 0;
}

QByteArray baseNameOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

} // namespace orvia::pim
