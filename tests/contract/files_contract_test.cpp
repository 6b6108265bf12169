// Files and folders: attributes, copies, deletes, opening dispositions and full paths.
#include <string>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using FilesContract = PortContract;

TEST_F(FilesContract, AttributesOfFilesFoldersAndNothing) {
  ASSERT_TRUE(WriteText(InScratch("a.txt"), "a"));
  EXPECT_EQ(port().FileAttributes(InScratch("a.txt")) & os::kFileAttributeDirectory, 0u);
  EXPECT_NE(port().FileAttributes(scratch()) & os::kFileAttributeDirectory, 0u);

  EXPECT_EQ(port().FileAttributes(InScratch("absent.txt")), os::kInvalidFileAttributes);
  EXPECT_EQ(port().LastError(), os::kErrorFileNotFound);
  EXPECT_EQ(port().FileAttributes(InScratch("absent\\a.txt")), os::kInvalidFileAttributes);
  EXPECT_EQ(port().LastError(), os::kErrorPathNotFound);
}

TEST_F(FilesContract, ReadOnlyFileCannotBeDeletedUntilCleared) {
  std::string file = InScratch("locked.txt");
  ASSERT_TRUE(WriteText(file, "x"));
  ASSERT_TRUE(port().SetFileAttributes(file, os::kFileAttributeReadOnly));
  EXPECT_NE(port().FileAttributes(file) & os::kFileAttributeReadOnly, 0u);
  EXPECT_FALSE(port().DeleteFile(file));
  EXPECT_EQ(port().LastError(), os::kErrorAccessDenied);

  ASSERT_TRUE(port().SetFileAttributes(file, os::kFileAttributeNormal));
  EXPECT_TRUE(port().DeleteFile(file));
  EXPECT_EQ(port().FileAttributes(file), os::kInvalidFileAttributes);
  EXPECT_FALSE(port().DeleteFile(file));
  EXPECT_EQ(port().LastError(), os::kErrorFileNotFound);
}

TEST_F(FilesContract, CopyHonoursFailIfExists) {
  std::string from = InScratch("from.txt"), to = InScratch("to.txt");
  ASSERT_TRUE(WriteText(from, "new"));
  ASSERT_TRUE(WriteText(to, "old"));
  EXPECT_FALSE(port().CopyFile(from, to, true));
  EXPECT_EQ(port().LastError(), os::kErrorFileExists);
  EXPECT_EQ(ReadText(to), "old");

  EXPECT_TRUE(port().CopyFile(from, to, false));
  EXPECT_EQ(ReadText(to), "new");

  EXPECT_FALSE(port().CopyFile(InScratch("absent.txt"), to, false));
  EXPECT_EQ(port().LastError(), os::kErrorFileNotFound);
}

TEST_F(FilesContract, CreateDirectoryTwiceFails) {
  std::string folder = InScratch("sub");
  EXPECT_TRUE(port().CreateDirectory(folder));
  EXPECT_FALSE(port().CreateDirectory(folder));
  EXPECT_EQ(port().LastError(), os::kErrorAlreadyExists);
  EXPECT_FALSE(port().CreateDirectory(InScratch("absent\\sub")));
  EXPECT_EQ(port().LastError(), os::kErrorPathNotFound);
}

TEST_F(FilesContract, OpenAlwaysKeepsTheContentForAppending) {
  std::string file = InScratch("log.txt");
  ASSERT_TRUE(WriteText(file, "abc"));
  os::Handle handle = port().OpenFile(file, os::kGenericWrite, os::kFileShareRead, os::kOpenAlways);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(port().LastError(), os::kErrorAlreadyExists);  // it existed
  EXPECT_EQ(port().FileSize(handle), 3);
  EXPECT_EQ(port().SeekFile(handle, 0, 2), 3);
  EXPECT_TRUE(port().WriteFile(handle, "def"));
  port().CloseHandle(handle);
  EXPECT_EQ(ReadText(file), "abcdef");
}

TEST_F(FilesContract, DispositionsOnMissingAndExistingFiles) {
  std::string file = InScratch("f.txt");
  EXPECT_EQ(port().OpenFile(file, os::kGenericRead, 0, os::kOpenExisting), 0u);
  EXPECT_EQ(port().LastError(), os::kErrorFileNotFound);

  os::Handle made = port().OpenFile(file, os::kGenericWrite, 0, os::kCreateNew);
  ASSERT_NE(made, 0u);
  port().CloseHandle(made);
  EXPECT_EQ(port().OpenFile(file, os::kGenericWrite, 0, os::kCreateNew), 0u);
  EXPECT_EQ(port().LastError(), os::kErrorFileExists);
}

TEST_F(FilesContract, ReadsAndSeeks) {
  std::string file = InScratch("data.bin");
  ASSERT_TRUE(WriteText(file, "0123456789"));
  os::Handle handle =
      port().OpenFile(file, os::kGenericRead, os::kFileShareRead, os::kOpenExisting);
  ASSERT_NE(handle, 0u);
  std::string data;
  EXPECT_TRUE(port().ReadFile(handle, 4, &data));
  EXPECT_EQ(data, "0123");
  EXPECT_EQ(port().SeekFile(handle, 2, 1), 6);
  EXPECT_TRUE(port().ReadFile(handle, 100, &data));
  EXPECT_EQ(data, "6789");
  EXPECT_TRUE(port().ReadFile(handle, 100, &data));  // at the end: success, no bytes
  EXPECT_EQ(data, "");
  port().CloseHandle(handle);
}

TEST_F(FilesContract, FullPathNames) {
  ASSERT_TRUE(port().SetCurrentDirectory(scratch()));
  struct Case {
    std::string path, expected;
  };
  const Case cases[] = {
      {"C:\\a\\b\\..\\c", "C:\\a\\c"},
      {"C:\\a\\.\\b", "C:\\a\\b"},
      {"C:\\a\\..\\..\\x", "C:\\x"},  // no climbing above the root
      {"C:/a/b", "C:\\a\\b"},
      {"C:\\a\\b\\", "C:\\a\\b\\"},
      {"C:\\a\\b.", "C:\\a\\b"},  // trailing dots go
      {"C:\\a\\b...", "C:\\a\\b"},
      {"C:\\a\\b. ", "C:\\a\\b"},  // and blanks
      {"C:\\a.\\b", "C:\\a\\b"},   // an inner component loses one dot
      {"C:\\a..\\b", "C:\\a.\\b"},
      {"C:\\a\\b.\\", "C:\\a\\b\\"},
      {"C:\\a\\\\b", "C:\\a\\b"},      // runs of backslashes collapse
      {"C:rel", scratch() + "\\rel"},  // the drive's current folder
      {"\\x\\y", "C:\\x\\y"},          // the current drive's root
      {"rel\\f.txt", scratch() + "\\rel\\f.txt"},
      {"rel\\..\\f.txt", scratch() + "\\f.txt"},
      {".", scratch()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::string full;
    EXPECT_TRUE(port().FullPathName(c.path, 260, &full));
    EXPECT_EQ(full, c.expected);
  }
}

TEST_F(FilesContract, FullPathNameThatDoesNotFitFails) {
  std::string full;
  EXPECT_TRUE(port().FullPathName("C:\\abc", 7, &full));  // six characters and the zero
  EXPECT_FALSE(port().FullPathName("C:\\abc", 6, &full));
}

}  // namespace
}  // namespace contract
