#pragma once
// The contents file: a handset's model, memories and calendar as readable text (UTF-8), one item a
// line; the dump of a handset's state is written in the same form, so a dump loads back unchanged.
#include "phonesim/HandsetContents.h"

#include <QString>
#include <optional>

namespace orvia::phonesim {

struct ContentsResult
{
    std::optional<HandsetContents> contents;
    QString error; // "line N: what is wrong" when contents is empty
};

// `defaultModel` applies when the text names no model.
ContentsResult parseContents(const QString &text, const QString &defaultModel = QStringLiteral("K110"));
QString formatContents(const HandsetContents &contents);

ContentsResult loadContentsFile(const QString &path, const QString &defaultModel = QStringLiteral("K110"));
// Writes through a temporary file and a rename, so a reader never sees half a dump. False on failure.
bool saveContentsFile(const QString &path, const HandsetContents &contents, QString *error = nullptr);

} // namespace orvia::phonesim
