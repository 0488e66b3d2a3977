// The pack file format: reading, writing, extracting, and rejecting damaged
// packs without reading past their end.
#include "formats/PackFormat.h"
#include "render/PackFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

// Records the largest allocation made while `trackAllocations` is set, to
// show that a size field alone never decides how much is allocated.
static bool trackAllocations = false;
static std::size_t largestAllocation = 0;

static void* allocate(std::size_t n) {
    if (trackAllocations && n > largestAllocation) largestAllocation = n;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
// The nothrow forms too (GoogleTest uses them), so every allocation and
// release meets the same allocator.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n ? n : 1); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n ? n : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<unsigned char>;

void putU32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

struct Entry {
    std::string name;
    std::string data;
};

Bytes packBytes(const std::vector<Entry>& entries) {
    Bytes out;
    putU32(out, static_cast<std::uint32_t>(entries.size()));
    for (const Entry& e : entries) {
        out.push_back(static_cast<unsigned char>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        putU32(out, static_cast<std::uint32_t>(e.data.size()));
        out.insert(out.end(), e.data.begin(), e.data.end());
    }
    return out;
}

std::string text(EntryData d) { return std::string(reinterpret_cast<const char*>(d.data), d.size); }

class PackFileTest : public ::testing::Test {
protected:
    void SetUp() override { dir = testsupport::makeTempDir(); }
    void TearDown() override { testsupport::removeTree(dir); }
    std::string write(const std::string& name, const Bytes& bytes) {
        const std::string path = dir + "/" + name;
        testsupport::writeFile(path, bytes);
        return path;
    }
    std::string dir;
};

TEST_F(PackFileTest, ReadsEntriesAndLooksThemUpExactly) {
    const std::string path = write("a.pak", packBytes({{"krilo", "wing"},
                                                       {"", ""},
                                                       {"dup", "first"},
                                                       {"dup", "second"},
                                                       {"empty", ""}}));
    PackFile pack(path);
    ASSERT_EQ(pack.entryCount(), 5u);
    EXPECT_EQ(text(pack.entryData("krilo")), "wing");
    // Case-sensitive, whole-string equality.
    EXPECT_EQ(pack.entryData("Krilo").data, nullptr);
    EXPECT_EQ(pack.entryData("krilo").size, 4u);
    EXPECT_EQ(pack.entryData("kril").data, nullptr);
    EXPECT_EQ(pack.entryData("krilo ").size, 0u);
    // The first of two equal names wins.
    EXPECT_EQ(text(pack.entryData("dup")), "first");
    // Zero-length name and data read back as an empty name and buffer.
    EXPECT_EQ(pack.entryName(1), "");
    EXPECT_NE(pack.entryData("").data, nullptr);
    EXPECT_EQ(pack.entryData("").size, 0u);
    EXPECT_NE(pack.entryData("empty").data, nullptr);
    EXPECT_EQ(pack.entryData("empty").size, 0u);
    for (std::size_t i = 0; i < pack.entryCount(); ++i) {
        EXPECT_EQ(pack.textureIdAt(i), 0u);
        EXPECT_EQ(pack.useCountAt(i), 0);
    }
}

TEST_F(PackFileTest, EmptyAndNegativeCountsAndTrailingBytes) {
    PackFile empty(write("empty.pak", packBytes({})));
    EXPECT_EQ(empty.entryCount(), 0u);
    EXPECT_EQ(empty.entryData("anything").data, nullptr);
    EXPECT_EQ(empty.entryData("").data, nullptr);

    Bytes negative;
    putU32(negative, 0xFFFFFFFFu);
    negative.push_back(7);
    PackFile none(write("negative.pak", negative));
    EXPECT_EQ(none.entryCount(), 0u);

    Bytes trailing = packBytes({{"sec", "12"}});
    const char junk[] = "\x05garbage that is not an entry";
    trailing.insert(trailing.end(), junk, junk + sizeof junk);
    PackFile withJunk(write("trailing.pak", trailing));
    ASSERT_EQ(withJunk.entryCount(), 1u);
    EXPECT_EQ(text(withJunk.entryData("sec")), "12");
}

TEST_F(PackFileTest, EveryTruncationOfAValidPackIsRejected) {
    const Bytes full = packBytes({{"ciferblat", std::string(40, 'x')}, {"", ""}, {"sec", "abc"}});
    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        // A buffer of exactly `cut` bytes so that any read past it is caught
        // by the sanitizer build.
        std::vector<unsigned char> part(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
        PackFile pack;
        pack.addEntry("left over", "x", 1);
        const Result<void> parsed = pack.parse(part.data(), part.size());
        EXPECT_FALSE(parsed) << "cut at " << cut;
        EXPECT_FALSE(parsed.ok() || parsed.message().empty());
        EXPECT_EQ(pack.entryCount(), 0u);
    }
    PackFile pack;
    EXPECT_TRUE(pack.parse(full.data(), full.size()));
    EXPECT_EQ(pack.entryCount(), 3u);
}

TEST_F(PackFileTest, SizeFieldsNeverBuyMoreThanTheFileHolds) {
    Bytes bigSize;
    putU32(bigSize, 1);
    bigSize.push_back(1);
    bigSize.push_back('a');
    putU32(bigSize, 0xFFFFFFF0u);
    bigSize.insert(bigSize.end(), 100, 0);

    Bytes bigCount;
    putU32(bigCount, 0x7FFFFFFFu);
    for (int i = 0; i < 3; ++i) {
        bigCount.push_back(0);
        putU32(bigCount, 0);
    }

    Bytes negativeName;
    putU32(negativeName, 1);
    negativeName.push_back(0x80);
    negativeName.insert(negativeName.end(), 200, 0);

    for (const Bytes* bytes : {&bigSize, &bigCount, &negativeName}) {
        PackFile pack;
        largestAllocation = 0;
        trackAllocations = true;
        const bool ok = pack.parse(bytes->data(), bytes->size()).ok();
        trackAllocations = false;
        EXPECT_FALSE(ok);
        EXPECT_LT(largestAllocation, 4096u);
    }
}

TEST_F(PackFileTest, CorruptPackEndsTheProcessWithAMessageNamingIt) {
    Bytes shortCount;
    putU32(shortCount, 3);
    shortCount.push_back(1);
    shortCount.push_back('a');
    putU32(shortCount, 0);
    const std::string path = write("broken.pak", shortCount);
    EXPECT_EXIT(PackFile pack(path), ::testing::ExitedWithCode(1), "broken\\.pak");

    Bytes negativeName;
    putU32(negativeName, 1);
    negativeName.push_back(0xFF);
    const std::string path2 = write("negname.pak", negativeName);
    EXPECT_EXIT(PackFile pack(path2), ::testing::ExitedWithCode(1), "negname\\.pak.*negative");
}

TEST_F(PackFileTest, UnopenablePackEndsTheProcessNamingIt) {
    const std::string missing = dir + "/missing.pak";
    EXPECT_EXIT(PackFile pack(missing), ::testing::ExitedWithCode(1),
                "^.*/missing\\.pak: cannot open the pack: No such file or directory\n$");
    EXPECT_EXIT(PackFile pack(dir), ::testing::ExitedWithCode(1), "cannot open the pack: is a folder\n$");
}

TEST_F(PackFileTest, SaveAndReadBackRoundTrip) {
    PackFile out;
    const std::string longest(127, 'n');
    std::string binary;
    for (int i = 0; i < 256; ++i) binary.push_back(static_cast<char>(i));
    ASSERT_TRUE(out.addEntry("first", "one", 3));
    ASSERT_TRUE(out.addEntry(longest, binary.data(), static_cast<std::uint32_t>(binary.size())));
    ASSERT_TRUE(out.addEntry("", nullptr, 0));
    ASSERT_TRUE(out.addEntry("first", "dup", 3));
    const std::string path = dir + "/round.pak";
    ASSERT_TRUE(out.save(path));

    PackFile in(path);
    ASSERT_EQ(in.entryCount(), out.entryCount());
    for (std::size_t i = 0; i < in.entryCount(); ++i) {
        EXPECT_EQ(in.entryName(i), out.entryName(i));
        EXPECT_EQ(text(in.entryAt(i)), text(out.entryAt(i)));
    }
    EXPECT_EQ(text(in.entryData(longest)), binary);
    // Nothing but the pack is left in the folder.
    EXPECT_FALSE(testsupport::fileExists(path + ".XXXXXX"));
    EXPECT_EQ(std::system(("test $(ls -A '" + dir + "' | wc -l) -eq 1").c_str()), 0);
}

TEST_F(PackFileTest, SaveFailuresKeepTheExistingPack) {
    const std::string path = write("keep.pak", packBytes({{"old", "data"}}));
    const Bytes before = testsupport::readFile(path);

    PackFile tooLong;
    tooLong.addEntry("fine", "1", 1);
    tooLong.addEntry(std::string(128, 'x'), "2", 1);
    EXPECT_FALSE(tooLong.save(path));
    EXPECT_EQ(testsupport::readFile(path), before);

    PackFile good;
    good.addEntry("new", "bytes", 5);
    EXPECT_FALSE(good.save(dir + "/no/such/folder/x.pak"));
    // A target that cannot be replaced (a directory) leaves it, and no
    // temporary file, behind.
    ASSERT_EQ(mkdir((dir + "/adir").c_str(), 0755), 0);
    EXPECT_FALSE(good.save(dir + "/adir"));
    struct stat st;
    ASSERT_EQ(stat((dir + "/adir").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(std::system(("test $(ls -A '" + dir + "' | wc -l) -eq 2").c_str()), 0);

    ASSERT_TRUE(good.save(path));
    PackFile replaced(path);
    EXPECT_EQ(text(replaced.entryData("new")), "bytes");
    EXPECT_EQ(replaced.entryData("old").data, nullptr);
}

TEST_F(PackFileTest, ExtractAllJoinsPrefixAndNameAsTheyAre) {
    PackFile pack;
    pack.addEntry("sec", "60", 2);
    pack.addEntry("min", "", 0);
    ASSERT_EQ(mkdir((dir + "/in").c_str(), 0755), 0);
    ASSERT_TRUE(pack.extractAll(dir + "/in/"));
    EXPECT_EQ(testsupport::readFile(dir + "/in/sec"), (Bytes{'6', '0'}));
    EXPECT_TRUE(testsupport::fileExists(dir + "/in/min"));
    EXPECT_TRUE(testsupport::readFile(dir + "/in/min").empty());

    ASSERT_TRUE(pack.extractAll(dir + "/out"));
    EXPECT_EQ(testsupport::readFile(dir + "/outsec"), (Bytes{'6', '0'}));
    EXPECT_TRUE(testsupport::fileExists(dir + "/outmin"));

    EXPECT_FALSE(pack.extractAll(dir + "/missing/"));
}

TEST_F(PackFileTest, NamesThatLeadOutOfTheFolderOnAnySystemAreNotExtracted) {
    const std::vector<std::string> names = {"..", "a/../../b", "..\\b", "a\\..\\..\\b", ".. /b", "... \\b",
                                            "a/.. ./b", "C:b", "\\b", "/b", "ok", "./ok2", "a..b"};
    std::vector<PackEntryView> views;
    for (const std::string& n : names) views.push_back(PackEntryView{&n, EntryData{nullptr, 0}});
    ASSERT_EQ(mkdir((dir + "/in").c_str(), 0755), 0);
    std::vector<std::string> problems;
    EXPECT_FALSE(extractPackEntries(views, dir + "/in/", &problems));
    ASSERT_EQ(problems.size(), names.size() - 3);
    for (std::size_t i = 0; i + 3 < names.size(); ++i)
        EXPECT_NE(problems[i].find("not extracted"), std::string::npos) << problems[i];
    EXPECT_TRUE(testsupport::fileExists(dir + "/in/ok"));
    EXPECT_TRUE(testsupport::fileExists(dir + "/in/ok2"));
    EXPECT_TRUE(testsupport::fileExists(dir + "/in/a..b"));
}

TEST_F(PackFileTest, AddFileNamesTheEntryByThePathOrTheGivenName) {
    const std::string path = write("picture.bin", Bytes{1, 2, 3, 0, 255});
    PackFile pack;
    ASSERT_TRUE(pack.addFile(path));
    ASSERT_TRUE(pack.addFile(path, "renamed"));
    EXPECT_FALSE(pack.addFile(dir + "/absent.bin"));
    ASSERT_EQ(pack.entryCount(), 2u);
    EXPECT_EQ(pack.entryName(0), path);
    EXPECT_EQ(testsupport::readFile(path), Bytes(pack.entryAt(1).data, pack.entryAt(1).data + pack.entryAt(1).size));
    EXPECT_EQ(pack.entryName(1), "renamed");
    EXPECT_FALSE(pack.addFile(dir));  // a directory is not a file to add
    EXPECT_EQ(pack.entryCount(), 2u);
}

// A pack made by the pack tool reads back with the screensaver's reader.
TEST_F(PackFileTest, PacksMadeByThePakToolReadBack) {
    const std::string pak = std::string(QUESSANTA_INSTALL_DIR) + "pak";
    if (!testsupport::fileExists(pak)) GTEST_SKIP() << "pak not built";
    write("one", Bytes{'a', 'b'});
    write("two", Bytes{});
    const std::string cmd = "cd '" + dir + "' && '" + pak + "' create made.pak one --name renamed two";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    PackFile pack(dir + "/made.pak");
    ASSERT_EQ(pack.entryCount(), 2u);
    EXPECT_EQ(text(pack.entryData("one")), "ab");
    EXPECT_NE(pack.entryData("renamed").data, nullptr);
    EXPECT_EQ(pack.entryData("renamed").size, 0u);
}

}  // namespace
