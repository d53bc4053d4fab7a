#include "shell/RegistryStore.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vorlix::shell;
using namespace vorlix::test;

namespace {

const QString kFae = QStringLiteral("HKEY_CLASSES_ROOT\\.fae");

TEST(RegistryStoreTest, TextKeepsEveryCharacterOfNamesAndData)
{
    RegistryStore store;
    store.create(kFae);
    store.setValue(kFae, QString(), QStringLiteral("vorlix"));
    const QString tricky = QStringLiteral("C:\\App\\vorlix.exe \"%1\"\r\nnext = line");
    store.setValue(kFae, QStringLiteral("Say \"hi\"\\"), tricky);
    const QString text = store.toText();
    EXPECT_TRUE(text.contains(QStringLiteral("[HKEY_CLASSES_ROOT\\.fae]\r\n@=\"vorlix\"\r\n")))
        << text.toStdString();
    // No value can break out of its line.
    EXPECT_EQ(text.count(u'\n'), 5);

    const RegistryStore back = RegistryStore::fromText(text);
    EXPECT_EQ(back.value(kFae, QString()), QStringLiteral("vorlix"));
    EXPECT_EQ(back.value(kFae, QStringLiteral("say \"HI\"\\")), tricky);
}

TEST(RegistryStoreTest, PathsAndNamesMatchWithoutLetterCase)
{
    RegistryStore store;
    store.create(QStringLiteral("HKEY_CLASSES_ROOT\\\\Vorlix\\Shell\\"));
    EXPECT_TRUE(store.contains(QStringLiteral("hkey_classes_root\\vorlix\\shell")));
    EXPECT_TRUE(
        store.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\VORLIX"), QStringLiteral("A"), "1"));
    EXPECT_TRUE(
        store.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\vorlix"), QStringLiteral("a"), "2"));
    ASSERT_EQ(store.keys().size(), 2); // the root itself is not stored
    EXPECT_EQ(store.keys()[0].path, QStringLiteral("HKEY_CLASSES_ROOT\\Vorlix"));
    ASSERT_EQ(store.keys()[0].values.size(), 1);
    EXPECT_EQ(store.keys()[0].values[0].data, QStringLiteral("2"));
    EXPECT_FALSE(store.setValue(QStringLiteral("HKEY_CLASSES_ROOT\\none"), QString(), "x"));
    EXPECT_FALSE(store.value(QStringLiteral("HKEY_CLASSES_ROOT\\vorlix"), QStringLiteral("b")));
}

TEST(RegistryStoreTest, RemovingAKeyTakesItsWholeSubtreeAndNothingElse)
{
    RegistryStore store;
    for (const char* path : { "R\\.fae\\a\\b", "R\\.fae\\c", "R\\.faex", "R\\.fa" })
        store.create(QString::fromLatin1(path));
    EXPECT_EQ(store.subkeys(QStringLiteral("R\\.fae")), (QStringList { "a", "c" }));
    EXPECT_EQ(store.subkeys(QStringLiteral("R")), (QStringList { ".fae", ".faex", ".fa" }));
    EXPECT_TRUE(store.remove(QStringLiteral("r\\.FAE")));
    EXPECT_FALSE(store.contains(QStringLiteral("R\\.fae\\a\\b")));
    EXPECT_FALSE(store.contains(QStringLiteral("R\\.fae")));
    EXPECT_TRUE(store.contains(QStringLiteral("R\\.faex")));
    EXPECT_TRUE(store.contains(QStringLiteral("R\\.fa")));
    EXPECT_FALSE(store.remove(QStringLiteral("R\\.fae")));
}

TEST(RegistryStoreTest, ReaderSkipsWhatItDoesNotKnow)
{
    const RegistryStore store = RegistryStore::fromText(QStringLiteral(
        "@=\"before any key\"\n[R\\k]\n@=\"ok\"\n\"open=\"x\"\nnoise\n\"n\"=\"unterminated\n"
        "\"m\"=\"k too\"\n[]\n\"z\"=\"under no key\"\n"));
    ASSERT_EQ(store.keys().size(), 1);
    EXPECT_EQ(store.value(QStringLiteral("R\\k"), QString()), QStringLiteral("ok"));
    EXPECT_EQ(store.value(QStringLiteral("R\\k"), QStringLiteral("m")), QStringLiteral("k too"));
    // Values under a header without a key belong to no key.
    EXPECT_EQ(store.keys()[0].values.size(), 2);
}

TEST(RegistryStoreTest, FilesMissingUnreadableOrUnwritable)
{
    TempEnvironment env;
    const QString file = env.root() + QStringLiteral("/vorlix.reg");
    const auto empty = RegistryStore::load(file);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->keys().isEmpty());

    RegistryStore store;
    store.create(kFae);
    store.setValue(kFae, QString(), QStringLiteral("vorlix"));
    ASSERT_TRUE(store.save(file));
    EXPECT_EQ(RegistryStore::load(file)->value(kFae, QString()), QStringLiteral("vorlix"));

    // A folder where the file should be can be neither read nor written.
    const QString folder = env.root() + QStringLiteral("/folder.reg");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(RegistryStore::load(folder));
    EXPECT_FALSE(store.save(folder));
    EXPECT_FALSE(store.save(env.root() + QStringLiteral("/no/such/folder/vorlix.reg")));
}

}
