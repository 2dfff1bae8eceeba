#include "frames/PathHelpers.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace skarvel;
using namespace skarvel::test;

TEST(GetBaseName, NameUpToItsFirstDot)
{
    EXPECT_EQ(GetBaseName(QStringLiteral("/img/anim.gif")), QStringLiteral("anim"));
    EXPECT_EQ(GetBaseName(QStringLiteral("/img/my.anim.gif")), QStringLiteral("my"));
    EXPECT_EQ(GetBaseName(QStringLiteral("/img.d/anim.gif")), QStringLiteral("anim"));
    EXPECT_EQ(GetBaseName(QStringLiteral("/a/b.c/name.x.gif")), QStringLiteral("name"));
    EXPECT_EQ(GetBaseName(QStringLiteral("/img/anim")), QStringLiteral("anim"));
}

TEST(GetBaseName, NothingWithoutAName)
{
    EXPECT_TRUE(GetBaseName(QString()).isEmpty());
    EXPECT_TRUE(GetBaseName(QStringLiteral("anim.gif")).isEmpty());
    EXPECT_TRUE(GetBaseName(QStringLiteral("/img/")).isEmpty());
    EXPECT_TRUE(GetBaseName(QStringLiteral("/img/.gif")).isEmpty());
}

TEST(FileExists, OnlyReadableRegularFiles)
{
    const ScratchDir dir;
    const QString file = dir.write(QStringLiteral("f.bmp"), "BM");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(dir.file(QStringLiteral("missing.bmp"))));
    EXPECT_FALSE(FileExists(dir.path()));
    EXPECT_FALSE(FileExists(QString()));
    if (geteuid() != 0) {
        QFile(file).setPermissions(QFileDevice::WriteOwner);
        EXPECT_FALSE(FileExists(file));
    }
}
