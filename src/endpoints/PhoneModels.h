#pragma once
// The handset models both drivers know, as data: how a model reply is recognised, what each model can
// hold, and how the extended phonebook's category digits map to the record kinds.
#include <QString>
#include <QtGlobal>
#include <optional>

namespace orvia {

struct ModelLimits
{
    QString name;        // the model code, or the family word for the second family
    qint16 emailLen = 0; // 0: no e-mail addresses
    qint16 nameLen = 0;
    qint16 calBodyLen = 0;
    qint16 calCapacity = 0;
    bool extendedPhonebook = false; // several numbers per contact, each with a category digit
};

inline const QString kTarvexFamily = QStringLiteral("Tarvex");

// The limits of a model code ("K110", ...) or of the family word "Tarvex"; nothing for any other text.
std::optional<ModelLimits> modelLimits(const QString &name);

// True for the models whose phonebook lines carry a category digit.
bool hasExtendedPhonebook(const QString &model);

// The first model code (or the family word) found in a model reply line, in the order the
// identification tests them; empty when none is found.
QString velmoraModelIn(const QString &line);

// The model name of a second-family handset from its model reply line: a known marker gives its
// model name, any other line is the description itself.
QString tarvexDescriptionOf(const QString &line);

// Category digit of an extended phonebook line -> record kind (1 mobile/other, 2 home, 3 work, 4 e-mail).
qint16 kindFromCategory(int digit);
// Record kind -> category digit written after the name.
int categoryFromKind(qint16 kind);

} // namespace orvia
