// The pack cache: one read per period of use, reference counts, order of
// the open packs, and the base directory.
#include "render/PackCache.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes onePack(const std::string& name, const std::string& data) {
    Bytes out = {1, 0, 0, 0, static_cast<unsigned char>(name.size())};
    out.insert(out.end(), name.begin(), name.end());
    const std::uint32_t size = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(size >> (8 * i)));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::string text(EntryData d) { return d.data ? std::string(reinterpret_cast<const char*>(d.data), d.size) : "<none>"; }

class PackCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testsupport::makeTempDir();
        cache.setBaseDir(dir + "/");
    }
    void TearDown() override { testsupport::removeTree(dir); }
    void pack(const std::string& name, const std::string& entry, const std::string& data) {
        testsupport::writeFile(dir + "/" + name, onePack(entry, data));
    }
    std::string dir;
    PackCache cache;
};

TEST_F(PackCacheTest, ReadsOncePerPeriodOfUse) {
    pack("clock.pak", "sec", "first");
    EntryData a = cache.entryData("clock.pak", "sec");
    // The file is gone: further requests must be served from memory.
    std::remove((dir + "/clock.pak").c_str());
    EntryData b = cache.entryData("clock.pak", "sec");
    EntryData c = cache.entryData("clock.pak", "sec");
    EXPECT_EQ(text(a), "first");
    EXPECT_EQ(a.data, b.data);
    EXPECT_EQ(a.data, c.data);
    EXPECT_EQ(cache.refCount("clock.pak"), 3);
    EXPECT_EQ(cache.openCount(), 1u);

    cache.release("clock.pak");
    cache.release("clock.pak");
    EXPECT_EQ(cache.refCount("clock.pak"), 1);
    EXPECT_NE(cache.find("clock.pak"), nullptr);
    cache.release("clock.pak");
    EXPECT_EQ(cache.find("clock.pak"), nullptr);
    EXPECT_EQ(cache.openCount(), 0u);

    // Opened again from the file first read, which the cache keeps open:
    // what a package upgrade has put at its path since is another file.
    pack("clock.pak", "sec", "second");
    EXPECT_EQ(text(cache.entryData("clock.pak", "sec")), "first");
    EXPECT_EQ(cache.refCount("clock.pak"), 1);
    cache.release("clock.pak");
}

TEST_F(PackCacheTest, MissesStillCountAndUnknownReleasesDoNothing) {
    pack("main.pak", "cvet", "petal");
    EntryData missing = cache.entryData("main.pak", "nothing");
    EXPECT_EQ(missing.data, nullptr);
    EXPECT_EQ(missing.size, 0u);
    EXPECT_EQ(cache.refCount("main.pak"), 1);
    // An absent entry asks no texture of OpenGL, yet counts on the pack.
    EXPECT_EQ(cache.acquireTexture("main.pak", "nothing"), 0u);
    EXPECT_EQ(cache.refCount("main.pak"), 2);

    cache.release("other.pak");
    cache.releaseTexture("other.pak", 0);
    cache.release("MAIN.PAK");
    EXPECT_EQ(cache.refCount("main.pak"), 2);
    EXPECT_EQ(cache.openCount(), 1u);

    cache.releaseTexture("main.pak", 0);
    cache.release("main.pak");
    EXPECT_EQ(cache.openCount(), 0u);
    cache.release("main.pak");  // already closed: nothing happens
    EXPECT_EQ(cache.openCount(), 0u);
}

TEST_F(PackCacheTest, ClosingOnePackKeepsTheOthersInOrder) {
    for (const char* name : {"a.pak", "b.pak", "c.pak", "d.pak"}) pack(name, "x", name);
    cache.entryData("a.pak", "x");
    cache.entryData("b.pak", "x");
    cache.entryData("b.pak", "x");
    cache.entryData("c.pak", "x");
    cache.entryData("d.pak", "x");
    cache.entryData("d.pak", "x");
    cache.entryData("d.pak", "x");
    cache.release("c.pak");
    cache.release("a.pak");
    ASSERT_EQ(cache.openCount(), 2u);
    EXPECT_EQ(cache.openName(0), "b.pak");
    EXPECT_EQ(cache.openName(1), "d.pak");
    EXPECT_EQ(cache.refCount("b.pak"), 2);
    EXPECT_EQ(cache.refCount("d.pak"), 3);
    EXPECT_EQ(text(cache.find("d.pak")->entryData("x")), "d.pak");
    // A pack opened after a close goes to the end.
    cache.entryData("a.pak", "x");
    EXPECT_EQ(cache.openName(2), "a.pak");
    for (int i = 0; i < 2; ++i) cache.release("b.pak");
    for (int i = 0; i < 3; ++i) cache.release("d.pak");
    cache.release("a.pak");
    EXPECT_EQ(cache.openCount(), 0u);
}

class BaseDirTest : public PackCacheTest {
protected:
    void SetUp() override {
        PackCacheTest::SetUp();
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        oldDir = buffer;
        ASSERT_EQ(mkdir((dir + "/inst").c_str(), 0755), 0);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        // The same name in three places tells which one was read.
        pack("main.pak", "where", "working directory");
        pack("inst/main.pak", "where", "installation");
        pack("instmain.pak", "where", "joined without separator");
    }
    void TearDown() override {
        ASSERT_EQ(chdir(oldDir.c_str()), 0);
        PackCacheTest::TearDown();
    }
    std::string readWith(const std::string& base) {
        PackCache fresh;
        if (base != "<initial>") fresh.setBaseDir(base);
        const std::string where = text(fresh.entryData("main.pak", "where"));
        fresh.release("main.pak");
        return where;
    }
    std::string oldDir;
};

TEST_F(BaseDirTest, BaseDirectoryRule) {
    EXPECT_EQ(readWith("<initial>"), "working directory");
    EXPECT_EQ(readWith("0"), "working directory");
    EXPECT_EQ(readWith(""), "working directory");
    // Only the first character is looked at.
    EXPECT_EQ(readWith("0inst/"), "working directory");
    EXPECT_EQ(readWith("inst/"), "installation");
    EXPECT_EQ(readWith(dir + "/inst/"), "installation");
    EXPECT_EQ(readWith("inst"), "joined without separator");
}

TEST_F(PackCacheTest, MissingPackEndsTheProcess) {
    EXPECT_EXIT(cache.entryData("absent.pak", "x"), ::testing::ExitedWithCode(1),
                "/absent\\.pak: cannot open the pack: No such file or directory\n$");
}

}  // namespace
