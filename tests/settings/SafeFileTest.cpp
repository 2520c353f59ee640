#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "common/SafeFile.h"
#include "support/Files.h"

using namespace selvane;
using namespace selvane::test;

namespace {

using S = FileRead::Status;

// A folder holding one entry of each kind a settings path may name. The
// device is reached only through a link and is never opened by the code
// under test.
struct Kinds : ::testing::Test {
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WriteFile(path("regular"), "record\r\n");
        ASSERT_TRUE(QFile::link(path("regular"), path("link-to-regular")));
        ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
        ASSERT_TRUE(QFile::link("/dev/zero", path("link-to-device")));
        ASSERT_TRUE(QFile::link(path("nothing"), path("dangling")));
        WriteFile(path("large"), QByteArray(2000, 'x'));
    }
};

} // namespace

TEST_F(Kinds, ReadsOnlyRegularFilesWithinTheBound)
{
    const struct {
        const char* name;
        S status;
        QByteArray data;
    } rows[] = {
        {"regular", S::Ok, "record\r\n"},
        {"link-to-regular", S::Ok, "record\r\n"},
        {"missing", S::Missing, {}},
        {"dangling", S::Missing, {}},
        {"folder", S::NotRegular, {}},
        {"fifo", S::NotRegular, {}},          // would block in open()
        {"link-to-device", S::NotRegular, {}}, // would never end
        {"large", S::TooLarge, {}},
    };
    for (const auto& row : rows) {
        const FileRead r = ReadRegularFile(path(row.name), 1000);
        EXPECT_EQ(r.status, row.status) << row.name;
        EXPECT_EQ(r.data, row.data) << row.name;
        EXPECT_EQ(r.error.isEmpty(), row.status == S::Ok) << row.name;
    }
    EXPECT_EQ(ReadRegularFile(path("large"), 2000).data.size(), 2000);
}

TEST_F(Kinds, WritesThroughLinksToRegularFilesAndNeverReplacesAnythingElse)
{
    QString error;
    ASSERT_TRUE(WriteRegularFile(path("link-to-regular"), "new\r\n", &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(path("link-to-regular")).isSymLink());
    EXPECT_EQ(ReadFile(path("regular")), "new\r\n");

    ASSERT_TRUE(WriteRegularFile(path("created"), "made\r\n"));
    EXPECT_EQ(ReadFile(path("created")), "made\r\n");

    for (const char* name : {"folder", "fifo", "link-to-device", "dangling"}) {
        error.clear();
        EXPECT_FALSE(WriteRegularFile(path(name), "x", &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
    // Nothing was replaced or created behind the refused paths.
    EXPECT_TRUE(QFileInfo(path("link-to-device")).isSymLink());
    EXPECT_EQ(QFileInfo(path("link-to-device")).symLinkTarget(), "/dev/zero");
    EXPECT_FALSE(QFileInfo::exists(path("nothing")));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path("fifo")).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(Kinds, NewFilesAreMadeOnlyWhereNothingIs)
{
    for (const char* name : {"regular", "link-to-regular", "folder", "fifo", "link-to-device", "dangling"}) {
        bool exists = false;
        EXPECT_FALSE(CreateNewRegularFile(path(name), "x", &exists)) << name;
        EXPECT_TRUE(exists) << name;
    }
    EXPECT_EQ(ReadFile(path("regular")), "record\r\n");
    EXPECT_FALSE(QFileInfo::exists(path("nothing")));  // not made behind the dangling link
    bool exists = true;
    ASSERT_TRUE(CreateNewRegularFile(path("new"), "kept\r\n", &exists));
    EXPECT_FALSE(exists);
    EXPECT_EQ(ReadFile(path("new")), "kept\r\n");
}
