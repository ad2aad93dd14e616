#include "platform/IniSettingsStore.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace orvia;
using namespace orvia::test;

namespace {

// The same expectations hold for the real store and its in-memory double.
template <typename T> std::unique_ptr<ISettingsStore> make(const TempDir &dir);
template <> std::unique_ptr<ISettingsStore> make<IniSettingsStore>(const TempDir &dir)
{
    return std::make_unique<IniSettingsStore>(dir.path());
}
template <> std::unique_ptr<ISettingsStore> make<MemorySettingsStore>(const TempDir &)
{
    return std::make_unique<MemorySettingsStore>();
}

template <typename T> class SettingsStoreContract : public ::testing::Test
{
protected:
    TempDir dir;
    std::unique_ptr<ISettingsStore> store = make<T>(dir);
};

using Stores = ::testing::Types<IniSettingsStore, MemorySettingsStore>;
TYPED_TEST_SUITE(SettingsStoreContract, Stores);

} // namespace

TYPED_TEST(SettingsStoreContract, SectionsWithBlanksKeepTheirValuesApart)
{
    ISettingsStore &s = *this->store;
    EXPECT_EQ(s.get(kSettingsApp, kSettingsSection, QStringLiteral("port"), QStringLiteral("none")),
              QStringLiteral("none"));
    s.save(kSettingsApp, kSettingsSection, QStringLiteral("port"), QStringLiteral("Com 3"));
    s.save(kSettingsApp, kSettingsCommon, QStringLiteral("port"), QStringLiteral("other"));
    s.save(QStringLiteral("Else"), kSettingsSection, QStringLiteral("port"), QStringLiteral("third"));
    EXPECT_EQ(s.get(kSettingsApp, kSettingsSection, QStringLiteral("port")), QStringLiteral("Com 3"));
    EXPECT_EQ(s.get(kSettingsApp, kSettingsCommon, QStringLiteral("port")), QStringLiteral("other"));
    EXPECT_EQ(s.get(QStringLiteral("Else"), kSettingsSection, QStringLiteral("port")),
              QStringLiteral("third"));
    EXPECT_EQ(s.keys(kSettingsApp, kSettingsSection), QStringList{QStringLiteral("port")});

    s.remove(kSettingsApp, kSettingsSection, QStringLiteral("port"));
    EXPECT_EQ(s.get(kSettingsApp, kSettingsSection, QStringLiteral("port"), QStringLiteral("none")),
              QStringLiteral("none"));
    EXPECT_TRUE(s.keys(kSettingsApp, kSettingsSection).isEmpty());
    s.remove(kSettingsApp, kSettingsSection, QStringLiteral("never-there")); // no error
}

TYPED_TEST(SettingsStoreContract, ValuesComeBackExactly)
{
    ISettingsStore &s = *this->store;
    const QStringList values{QString(),
                             QStringLiteral("a, b,c"),
                             QStringLiteral("@Variant(x)"),
                             QStringLiteral("C:\\dir\\sub\\"),
                             QStringLiteral("Gr\u00fc\u00dfe \u20ac"),
                             QStringLiteral(" padded "),
                             QStringLiteral("semi;colon=eq#hash")};
    for (int i = 0; i < values.size(); ++i)
        s.save(kSettingsApp, kSettingsCommon, QStringLiteral("k%1").arg(i), values[i]);
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(s.get(kSettingsApp, kSettingsCommon, QStringLiteral("k%1").arg(i), QStringLiteral("dflt")),
                  values[i])
            << i;
}

TEST(IniSettingsStore, PersistsAcrossInstancesAndReadsHandWrittenPins)
{
    TempDir dir;
    {
        IniSettingsStore a(dir.path());
        a.save(kSettingsApp, kSettingsSection, QStringLiteral("model"), QStringLiteral("K310"));
    }
    IniSettingsStore b(dir.path());
    EXPECT_EQ(b.get(kSettingsApp, kSettingsSection, QStringLiteral("model")), QStringLiteral("K310"));
    EXPECT_TRUE(b.filePath(kSettingsApp).endsWith(QStringLiteral("/Velmora/Velmora.ini")));

    // Another program (the phone simulator's launcher script) pins a port by editing the file.
    QFile f(b.filePath(kSettingsApp));
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("\n[ports]\nCOM3=/dev/pts/7\nlist=a, b\n");
    f.close();
    EXPECT_EQ(b.get(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM3")),
              QStringLiteral("/dev/pts/7"));
    EXPECT_EQ(b.get(kSettingsApp, QStringLiteral("ports"), QStringLiteral("list")), QStringLiteral("a, b"));
    EXPECT_EQ(b.get(kSettingsApp, kSettingsSection, QStringLiteral("model")), QStringLiteral("K310"));
}
