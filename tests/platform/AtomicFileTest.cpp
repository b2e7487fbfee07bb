// Saving a file the user keeps: permissions kept, read-only files refused,
// links saved through, names beside the file never written through, and
// saves that run at once never mixing.

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <thread>

namespace {

namespace fs = std::filesystem;
using kbtest::ReadFileText;
using kbtest::TFileSizeLimit;
using kbtest::TTempDir;
using kbtest::WriteFileText;

mode_t ModeOf(const std::string& name)
{
    struct stat st {};
    EXPECT_EQ(stat(name.c_str(), &st), 0) << name;
    return st.st_mode & 07777;
}

std::set<std::string> FilesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The umask of the process for one test.
class TUmask {
public:
    explicit TUmask(mode_t mask) : m_Previous(umask(mask)) {}
    ~TUmask() { umask(m_Previous); }
    TUmask(const TUmask&) = delete;
    TUmask& operator=(const TUmask&) = delete;

private:
    mode_t m_Previous;
};

TEST(AtomicFile, ThePermissionsOfTheFileStayAndANewFileTakesTheUmask)
{
    const TUmask mask(022);
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0755), mode_t(0604)}) {
        SCOPED_TRACE(mode);
        TTempDir dir;
        const std::string name = dir.File("doc.kvx");
        WriteFileText(name, "old");
        ASSERT_EQ(chmod(name.c_str(), mode), 0);
        EXPECT_EQ(WriteFileAtomically(name, "new"), "");
        EXPECT_EQ(ReadFileText(name), "new");
        EXPECT_EQ(ModeOf(name), mode);
        EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"doc.kvx"});
    }
    TTempDir dir;
    EXPECT_EQ(WriteFileAtomically(dir.File("new.kvx"), "new"), "");
    EXPECT_EQ(ModeOf(dir.File("new.kvx")), mode_t(0644));
}

// Judged by the mode bits: a process of root may write every file.
TEST(AtomicFile, AFileNoOneMayWriteIsRefusedAndKeptAsItWas)
{
    for (const mode_t mode : {mode_t(0444), mode_t(0400), mode_t(0555), mode_t(0000)}) {
        SCOPED_TRACE(mode);
        TTempDir dir;
        const std::string name = dir.File("doc.kvx");
        WriteFileText(name, "old");
        ASSERT_EQ(chmod(name.c_str(), mode), 0);
        EXPECT_EQ(WriteFileAtomically(name, "new"), "cannot save \"" + name + "\": the file is read-only");
        ASSERT_EQ(chmod(name.c_str(), 0600), 0);
        EXPECT_EQ(ReadFileText(name), "old");
        EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"doc.kvx"});
    }
}

TEST(AtomicFile, ALinkIsSavedThroughToItsTarget)
{
    TTempDir dir;
    fs::create_directories(dir.Path() / "real");
    const std::string target = dir.File("real/doc.kvx");
    WriteFileText(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    fs::create_symlink("real/doc.kvx", dir.Path() / "link.kvx");     // relative
    fs::create_symlink(dir.Path() / "link.kvx", dir.Path() / "chain.kvx"); // a link to the link
    fs::create_symlink("real/gone.kvx", dir.Path() / "dangling.kvx");

    for (const char* link : {"link.kvx", "chain.kvx"}) {
        SCOPED_TRACE(link);
        EXPECT_EQ(WriteFileAtomically(dir.File(link), link), "");
        EXPECT_TRUE(fs::is_symlink(dir.Path() / link));
        EXPECT_EQ(ReadFileText(target), link);
        EXPECT_EQ(ModeOf(target), mode_t(0600));
    }
    // A link whose target does not exist yet creates it.
    EXPECT_EQ(WriteFileAtomically(dir.File("dangling.kvx"), "made"), "");
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.kvx"));
    EXPECT_EQ(ReadFileText(dir.File("real/gone.kvx")), "made");
    EXPECT_EQ(FilesIn(dir.Path() / "real"), (std::set<std::string>{"doc.kvx", "gone.kvx"}));

    // A link to a read-only file is refused like the file; a loop of links
    // and a folder are refused too.
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    EXPECT_NE(WriteFileAtomically(dir.File("link.kvx"), "x").find("read-only"), std::string::npos);
    EXPECT_EQ(ReadFileText(target), "chain.kvx");
    fs::create_symlink("loop.kvx", dir.Path() / "loop.kvx");
    EXPECT_NE(WriteFileAtomically(dir.File("loop.kvx"), "x"), "");
    EXPECT_NE(WriteFileAtomically(dir.File("real"), "x"), "");
    EXPECT_TRUE(fs::is_directory(dir.Path() / "real"));
}

TEST(AtomicFile, NamesBesideTheFileAreNeverWrittenThrough)
{
    TTempDir dir;
    const std::string name = dir.File("doc.kvx");
    const std::string other = dir.File("other.txt");
    WriteFileText(name, "old");
    WriteFileText(other, "other");
    // What an earlier save could have left, or someone put there.
    fs::create_symlink(other, name + ".tmp~");
    WriteFileText(name + ".tmp", "in flight");
    EXPECT_EQ(WriteFileAtomically(name, "new"), "");
    EXPECT_EQ(ReadFileText(name), "new");
    EXPECT_EQ(ReadFileText(other), "other");
    EXPECT_EQ(ReadFileText(name + ".tmp"), "in flight");
    EXPECT_TRUE(fs::is_symlink(name + ".tmp~"));
    EXPECT_EQ(FilesIn(dir.Path()), (std::set<std::string>{"doc.kvx", "doc.kvx.tmp~", "doc.kvx.tmp", "other.txt"}));
}

TEST(AtomicFile, SavesAtOnceEachReplaceTheFileWhole)
{
    TTempDir dir;
    const std::string name = dir.File("doc.kvx");
    const std::string a(64 * 1024, 'a');
    const std::string b(64 * 1024, 'b');
    const auto save = [&](const std::string& bytes, std::string& error) {
        for (int i = 0; i < 50 && error.empty(); ++i)
            error = WriteFileAtomically(name, bytes);
    };
    std::string errorA;
    std::string errorB;
    std::thread first(save, std::cref(a), std::ref(errorA));
    std::thread second(save, std::cref(b), std::ref(errorB));
    first.join();
    second.join();
    EXPECT_EQ(errorA, "");
    EXPECT_EQ(errorB, "");
    const std::string content = ReadFileText(name);
    EXPECT_TRUE(content == a || content == b);
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"doc.kvx"});
}


// --- Written piece by piece ---

// Pieces of every size around the block the writer collects, up to well
// past it, and the bytes they make together.
std::string StreamPieces(TAtomicFileWriter& file, size_t total)
{
    std::string all;
    for (size_t i = 0; all.size() < total; ++i) {
        const size_t size = i % 7 == 6 ? 70000 : (i * 37) % 300;
        const std::string piece(size, static_cast<char>('a' + i % 26));
        file.Write(piece);
        all += piece;
    }
    return all;
}

TEST(AtomicFileWriter, StreamedBytesReplaceTheFileOnlyOnCommit)
{
    TTempDir dir;
    const std::string name = dir.File("prog.nc");
    WriteFileText(name, "old");
    ASSERT_EQ(chmod(name.c_str(), 0640), 0);
    std::string all;
    {
        TAtomicFileWriter file(name);
        all = StreamPieces(file, 500000);
        EXPECT_EQ(file.Error(), "");
        EXPECT_EQ(ReadFileText(name), "old") << "not before the commit";
        EXPECT_EQ(file.Commit(), "");
    }
    EXPECT_EQ(ReadFileText(name), all);
    EXPECT_EQ(ModeOf(name), mode_t(0640));
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"prog.nc"});

    // Given up half way: the file stays, the temporary file goes.
    {
        TAtomicFileWriter file(name);
        StreamPieces(file, 200000);
        EXPECT_EQ(FilesIn(dir.Path()).size(), 2u);
    }
    EXPECT_EQ(ReadFileText(name), all);
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"prog.nc"});
}

// The disk fills up half way: the failure names the file, later bytes are
// dropped, the commit refuses, and the old file is whole.
TEST(AtomicFileWriter, AFullDiskLeavesTheOldFile)
{
    TTempDir dir;
    const std::string name = dir.File("prog.nc");
    WriteFileText(name, "old program");
    std::string error;
    {
        const TFileSizeLimit full(100000);
        TAtomicFileWriter file(name);
        StreamPieces(file, 400000);
        error = file.Error();
        EXPECT_EQ(file.Commit(), error);
    }
    EXPECT_EQ(error, "cannot write \"" + name + "\": " + std::strerror(EFBIG));
    EXPECT_EQ(ReadFileText(name), "old program");
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"prog.nc"});

    // The same through the one-piece save.
    const TFileSizeLimit full(1000);
    EXPECT_EQ(WriteFileAtomically(name, std::string(5000, 'x')), error);
    EXPECT_EQ(ReadFileText(name), "old program");
}

// A file that may not be written is refused before any byte.
TEST(AtomicFileWriter, RefusesAsTheOnePieceSaveDoes)
{
    TTempDir dir;
    const std::string name = dir.File("prog.nc");
    WriteFileText(name, "old");
    ASSERT_EQ(chmod(name.c_str(), 0444), 0);
    TAtomicFileWriter file(name);
    EXPECT_EQ(file.Error(), "cannot save \"" + name + "\": the file is read-only");
    file.Write("new");
    EXPECT_EQ(file.Commit(), file.Error());
    EXPECT_EQ(ReadFileText(name), "old");
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"prog.nc"});
}

} // namespace
