#pragma once
// Splits one command line ("AT" and what follows, without the line end) into its commands:
// basic ones (Z, E1, I, &F) and extended ones (+CPBR=1,2; +CGMM; +CPBS?; +CPBR=?).
#include <QList>
#include <QString>
#include <optional>

namespace orvia::phonesim {

struct AtCommand
{
    enum class Kind
    {
        Action,
        Query,
        Test,
        Set
    };
    QString name; // upper case: "Z", "E", "&F", "+CPBR"
    Kind kind = Kind::Action;
    QString args; // digits of a basic command, the text after "=" of an extended one
};

// nullopt when the line does not begin with "AT" (either case) or breaks the command syntax.
std::optional<QList<AtCommand>> parseCommandLine(const QString &line);

} // namespace orvia::phonesim
