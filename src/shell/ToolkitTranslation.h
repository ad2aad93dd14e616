#pragma once
// The toolkit's own texts (the standard buttons of message boxes: Yes, No, Cancel, ...) in the
// program's language, from the toolkit's translation files. English needs none.
#include <QString>
#include <memory>

class QTranslator;

namespace orvia {

class ToolkitTranslation
{
public:
    ToolkitTranslation();
    ~ToolkitTranslation();
    ToolkitTranslation(const ToolkitTranslation &) = delete;
    ToolkitTranslation &operator=(const ToolkitTranslation &) = delete;

    // The toolkit's locale name for a language code of the phrase table ("sp" is Spanish: "es");
    // empty for English and unknown codes.
    static QString localeFor(const QString &languageCode);
    // Follows `languageCode`; false when the toolkit has no translation installed for it.
    bool follow(const QString &languageCode);

private:
    void drop();
    std::unique_ptr<QTranslator> m_translator;
};

} // namespace orvia
