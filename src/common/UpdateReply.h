#pragma once
// The update server's reply: a small tag language (long form <name>value</name>, short form
// <name="value"/>, tags in any letter case) holding the offered version and its file list.
#include "data/StringArray.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace orvia {

// Looks `tag` up in `text`. `found` is the 1-based position where the value starts, 0 when the tag is
// absent (then a log line says so and `value` is emptied). The long form's opening tag wins wherever it
// stands; its closing tag is searched from the start of the text and CR/LF are trimmed off the value's
// ends. The short form skips one character and one delimiter after the name and ends one character
// before "/>". Throws the invalid-argument error for a missing or misplaced end, and the overflow error
// for a position beyond 32767.
void GetTagValue(const QString &text, const QString &tag, QString &value, qint16 &found);

// Collects the url and name of every <file> element of a <files> value into fresh lists. True when the
// whole text was consumed; false at the first element lacking its file, url or name (the lists then hold
// the entries before it). Throws as GetTagValue does.
bool ParseFileList(const QString &text, StringArray &urls, StringArray &names);

// Reads an offered update: title, version, download size, files, what's new and the user message, each
// shown through `append` as it is read. False, with the lines so far shown, when an element is missing
// or the file list fails. Throws as GetTagValue does.
bool ParseUpdateInfo(const QString &reply, const std::function<void(const QString &)> &append,
                     StringArray &urls, StringArray &names);

// True when the reply's `update` value says there is nothing newer (the marker in any letter case).
bool IsUpToDate(const QString &updateValue);

// A downloaded file whose first 1001 bytes hold a <title> element is a web page, not an update file.
bool IsErrorPage(const QByteArray &bytes);
// True when the response header's status line reports success (its tenth character is "2").
bool IsSuccessStatus(const QString &header);

} // namespace orvia
