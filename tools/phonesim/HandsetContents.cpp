#include "phonesim/HandsetContents.h"

#include "phonesim/ModelTable.h"

namespace orvia::phonesim {

int Memory::firstFree() const
{
    int loc = 1;
    for (const auto &[l, e] : entries) {
        if (l != loc)
            break;
        ++loc;
    }
    return loc <= capacity ? loc : 0;
}

HandsetContents HandsetContents::forModel(const QString &code)
{
    HandsetContents c;
    const ModelInfo *m = findModel(code);
    if (!m)
        m = findModel(modelCodes().constFirst());
    c.model = findModel(code) ? m->code : code;
    c.sim.capacity = m->simCapacity;
    c.me.capacity = m->meCapacity;
    return c;
}

Memory *HandsetContents::memory(const QString &name)
{
    if (name.compare(QLatin1String("SM"), Qt::CaseInsensitive) == 0)
        return &sim;
    if (name.compare(QLatin1String("ME"), Qt::CaseInsensitive) == 0)
        return &me;
    return nullptr;
}

} // namespace orvia::phonesim
