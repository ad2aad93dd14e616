#pragma once
// The handset models as one table: how a model reply is recognised and which driver speaks to it, what
// each model can hold, its picture, and the rules the synchronisation applies to it. Everything else
// asks this table for a capability instead of comparing model codes.
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
// The features name of the desktop side.
inline const QString kDesktopSide = QStringLiteral("Outlook");

// The two handset families; each has its own driver.
enum class ModelFamily
{
    Velmora,
    Tarvex,
};

// How the additions for a phone are placed in its memories.
enum class Placement
{
    None,    // not placed: the list goes as it is
    Handset, // one entry per datum, in the handset memory only
    Suffix,  // one number per entry with a kind suffix, the SIM card when the handset memory is full
};

// How the additions for a phone's calendar are checked day by day.
enum class PerDayRule
{
    None,          // not checked
    AdditionsOnly, // only additions go on; any number of them a day
    FiveADay,      // only additions go on, and no more than five events a day
};

// What the synchronisation does differently for one side, found by the side's features name.
struct SideRules
{
    bool phone = true; // a handset; the desktop side is the only other
    Placement placement = Placement::None;
    PerDayRule perDay = PerDayRule::None;
    bool assignsSlots = false;  // the policy picks the calendar slot of every addition
    bool simKeepsNames = false; // SIM entry names go as they are, not through the SIM alphabet
};

// The rules of a features name: a model code, the family word, the desktop side, or anything else (a
// phone without any particular rule).
SideRules sideRules(const QString &featuresName);

// The limits of a model code ("K110", ...) or of the family word "Tarvex"; nothing for any other text.
std::optional<ModelLimits> modelLimits(const QString &name);

// True for the models whose phonebook lines carry a category digit.
bool hasExtendedPhonebook(const QString &model);

// The family of a model code or of the family word; nothing for any other text.
std::optional<ModelFamily> familyOf(const QString &name);
// True for the models whose phonebook lines carry the memory as a digit (the second family).
bool hasMemoryDigit(const QString &name);

// The first model code (or the family word) found in a model reply line, in the order the
// identification tests them; empty when none is found.
QString velmoraModelIn(const QString &line);

// The family whose driver speaks to the handset of a model reply line; nothing for an unknown handset.
std::optional<ModelFamily> driverFamilyOf(const QString &modelReply);

// The model name of a second-family handset from its model reply line: a known marker gives its
// model name, any other line is the description itself.
QString tarvexDescriptionOf(const QString &line);

// The handset picture of a phone description: 1..9 for the known model codes (exact, case-sensitive),
// 0 for anything else; and the model code a picture shows (empty for 0).
int modelPicture(const QString &description);
QString modelOfPicture(int picture);

// Category digit of an extended phonebook line -> record kind (1 mobile/other, 2 home, 3 work, 4 e-mail).
qint16 kindFromCategory(int digit);
// Record kind -> category digit written after the name.
int categoryFromKind(qint16 kind);

} // namespace orvia
