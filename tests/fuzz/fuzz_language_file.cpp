// Fuzzes the language-file loader: the input is taken once as a scrambled file as found on disk, and
// once as the text inside a sound scramble, so the parser is reached past the check byte too.
#include "common/LanguageScrambler.h"
#include "data/DBLanguages.h"

#include <QString>
#include <cstddef>
#include <cstdint>

using namespace orvia;

namespace {

void exercise(const DBLanguages &t)
{
    if (t.count() == 0)
        return;
    const DBLanguageItem *first = t.GetItem(0);
    (void)t.Tran(first->Text, QStringLiteral("de"));
    (void)t.GetAllTranslations(first->Text);
    (void)t.GetLastId();
    (void)t.GetDataText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    DBLanguages asFile;
    if (asFile.LoadBytes(bytes, true))
        exercise(asFile);
    DBLanguages asText;
    if (asText.LoadBytes(ScrambleBytes(bytes), true))
        exercise(asText);
    DBLanguages plain;
    if (plain.LoadBytes(bytes, false))
        exercise(plain);
    return 0;
}
