#pragma once
// Helpers shared by the translation tests: a fresh global state per test and small tables.
#include "common/Globals.h"
#include "data/DBLanguages.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvia::test {

class FreshGlobals : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }
    void TearDown() override { resetGlobals(); }
};

// English and German records of one phrase.
inline void addPhrase(DBLanguages &t, qint16 id, const QString &en, const QString &de)
{
    t.add(id, QStringLiteral("en"), QString(), en);
    if (!de.isEmpty())
        t.add(id, QStringLiteral("de"), QString(), de);
}

} // namespace orvia::test
