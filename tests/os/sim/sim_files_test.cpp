// The simulated machine's path rules and files.
#include <gtest/gtest.h>

#include <string>

#include "os/sim/sim_machine.h"

namespace {

using os::SimMachine;

std::string Full(SimMachine& m, const std::string& path, std::size_t buffer = 260) {
  std::string full;
  EXPECT_TRUE(m.FullPathName(path, buffer, &full)) << path;
  return full;
}

TEST(SimPaths, FullPathNameNormalisesAsWindows) {
  SimMachine m;
  m.MakeDirectory("C:\\work\\sub");
  ASSERT_TRUE(m.SetCurrentDirectory("C:\\work\\sub"));
  struct Case {
    const char* path;
    const char* full;
  } cases[] = {
      {"x.txt", "C:\\work\\sub\\x.txt"},
      {"..\\x.txt", "C:\\work\\x.txt"},
      {"..\\..\\..\\..\\x", "C:\\x"},
      {"\\x\\y", "C:\\x\\y"},              // the current drive's root
      {"C:x", "C:\\work\\sub\\x"},         // the current drive: its current folder
      {"d:x", "D:\\x"},                    // another drive: its root
      {"C:/a//b\\\\c", "C:\\a\\b\\c"},     // either slash, runs collapse
      {"C:\\a\\b. \\c", "C:\\a\\b. \\c"},  // inner blanks stay
      {"C:\\a.\\c", "C:\\a\\c"},           // one trailing dot of an inner component goes
      {"C:\\a\\b. . ", "C:\\a\\b"},        // the last component loses dots and blanks
      {"C:\\a\\b \\", "C:\\a\\b \\"},      // ... unless a backslash follows
      {"C:\\a\\.", "C:\\a"},
      {"C:\\a\\..", "C:\\"},
      {"c:\\Mixed\\Case", "c:\\Mixed\\Case"},                 // kept as given
      {"\\\\srv\\share\\a\\..\\..\\b", "\\\\srv\\share\\b"},  // never above the share
      {"\\\\?\\C:\\a\\..\\b", "\\\\?\\C:\\a\\..\\b"},         // \\?\ is left alone
  };
  for (const Case& c : cases) EXPECT_EQ(Full(m, c.path), c.full) << c.path;
}

TEST(SimPaths, FullPathNameMustFitItsBuffer) {
  SimMachine m;
  std::string full = "unchanged";
  EXPECT_TRUE(m.FullPathName("C:\\abc", 7, &full));
  EXPECT_EQ(full, "C:\\abc");
  EXPECT_FALSE(m.FullPathName("C:\\abcd", 7, &full));
  EXPECT_EQ(full, "C:\\abc");
  EXPECT_FALSE(m.FullPathName("", 260, &full));
  EXPECT_EQ(m.LastError(), os::kErrorInvalidName);
}

TEST(SimPaths, DoubleByteTrailBackslashIsNoSeparator) {
  SimMachine m;
  m.SetCodePage(932);
  // 0x95 0x5C is one character whose trail byte is '\'; a '.' after it is the last
  // component's dot, and ".." removes the whole component.
  const std::string kanji = "\x95\\";
  EXPECT_EQ(Full(m, "C:\\a" + kanji + "\\..\\b"), "C:\\b");
  m.WriteFileText("C:\\d" + kanji + "\\f.txt", "x");
  EXPECT_NE(m.FileAttributes("C:\\d" + kanji) & os::kFileAttributeDirectory, 0u);
  // A trail byte that is an ASCII capital is not folded: 0x82 'A' differs from 0x82 'a'.
  m.WriteFileText(
      "C:\\\x82"
      "A.txt",
      "upper");
  EXPECT_FALSE(
      m.Exists("C:\\\x82"
               "a.txt"));
  EXPECT_TRUE(
      m.Exists("C:\\\x82"
               "A.TXT"));
}

TEST(SimFiles, NamesIgnoreCaseAndKeepTheirs) {
  SimMachine m;
  m.WriteFileText("C:\\Data\\ReadMe.TXT", "hello");
  EXPECT_EQ(m.ReadFileText("c:/data/readme.txt"), "hello");
  EXPECT_NE(m.FileAttributes("C:\\DATA") & os::kFileAttributeDirectory, 0u);  // made implicitly
  os::Handle h =
      m.OpenFile("C:\\DATA\\README.txt", os::kGenericRead, os::kFileShareRead, os::kOpenExisting);
  ASSERT_NE(h, 0u);
  m.CloseHandle(h);
  ASSERT_TRUE(m.SetCurrentDirectory("c:\\data"));
  EXPECT_EQ(m.CurrentDirectory(), "c:\\data");  // the case as given, as Windows keeps it
}

TEST(SimFiles, MissingFileOrFolder) {
  SimMachine m;
  EXPECT_EQ(m.FileAttributes("C:\\TEMP\\none.txt"), os::kInvalidFileAttributes);
  EXPECT_EQ(m.LastError(), os::kErrorFileNotFound);
  EXPECT_EQ(m.FileAttributes("C:\\nodir\\none.txt"), os::kInvalidFileAttributes);
  EXPECT_EQ(m.LastError(), os::kErrorPathNotFound);
  EXPECT_EQ(m.FileAttributes("Q:\\x"), os::kInvalidFileAttributes);  // no such drive
  EXPECT_EQ(m.LastError(), os::kErrorPathNotFound);
  EXPECT_EQ(m.FileAttributes("C:\\TEMP\\a?.txt"), os::kInvalidFileAttributes);
  EXPECT_EQ(m.LastError(), os::kErrorInvalidName);
  EXPECT_EQ(m.OpenFile("C:\\nodir\\new.txt", os::kGenericWrite, 0, os::kCreateAlways), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorPathNotFound);
}

TEST(SimFiles, AttributesFollowSetFileAttributes) {
  SimMachine m;
  m.WriteFileText("C:\\TEMP\\a.txt", "a");
  EXPECT_EQ(m.FileAttributes("C:\\TEMP\\a.txt"), os::kFileAttributeArchive);
  ASSERT_TRUE(m.SetFileAttributes("C:\\TEMP\\a.txt", 0));
  EXPECT_EQ(m.FileAttributes("C:\\TEMP\\a.txt"), os::kFileAttributeNormal);
  ASSERT_TRUE(m.SetFileAttributes("C:\\TEMP\\a.txt",
                                  os::kFileAttributeReadOnly | os::kFileAttributeNormal));
  EXPECT_EQ(m.FileAttributes("C:\\TEMP\\a.txt"), os::kFileAttributeReadOnly);
  ASSERT_TRUE(m.SetFileAttributes("C:\\TEMP", os::kFileAttributeHidden));
  EXPECT_EQ(m.FileAttributes("C:\\TEMP"), os::kFileAttributeHidden | os::kFileAttributeDirectory);
}

TEST(SimFiles, ReadOnlyFilesResistDeleteAndWrites) {
  SimMachine m;
  m.WriteFileText("C:\\TEMP\\ro.txt", "keep");
  ASSERT_TRUE(m.SetFileAttributes("C:\\TEMP\\ro.txt", os::kFileAttributeReadOnly));
  EXPECT_FALSE(m.DeleteFile("C:\\TEMP\\ro.txt"));
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
  EXPECT_EQ(m.OpenFile("C:\\TEMP\\ro.txt", os::kGenericWrite, 0, os::kOpenExisting), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
  EXPECT_FALSE(m.DeleteFile("C:\\TEMP"));  // a folder is no file
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
}

TEST(SimFiles, CopyKeepsAttributesAndHonoursFailIfExists) {
  SimMachine m;
  m.WriteFileText("C:\\TEMP\\src.txt", "data");
  ASSERT_TRUE(m.SetFileAttributes("C:\\TEMP\\src.txt", os::kFileAttributeReadOnly));
  ASSERT_TRUE(m.CopyFile("C:\\TEMP\\src.txt", "C:\\TEMP\\dst.txt", true));
  EXPECT_EQ(m.ReadFileText("C:\\TEMP\\dst.txt"), "data");
  EXPECT_EQ(m.FileAttributes("C:\\TEMP\\dst.txt"), os::kFileAttributeReadOnly);
  EXPECT_FALSE(m.CopyFile("C:\\TEMP\\src.txt", "C:\\TEMP\\dst.txt", true));
  EXPECT_EQ(m.LastError(), os::kErrorFileExists);
  EXPECT_FALSE(m.CopyFile("C:\\TEMP\\src.txt", "C:\\TEMP\\dst.txt", false));  // read-only target
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
  EXPECT_FALSE(m.CopyFile("C:\\TEMP\\src.txt", "C:\\nodir\\dst.txt", false));
  EXPECT_EQ(m.LastError(), os::kErrorPathNotFound);
}

TEST(SimFiles, DispositionsAndPointer) {
  SimMachine m;
  const std::string f = "C:\\TEMP\\f.bin";
  os::Handle h = m.OpenFile(f, os::kGenericWrite, 0, os::kOpenAlways);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(m.LastError(), 0u);  // made
  EXPECT_TRUE(m.WriteFile(h, "abc"));
  EXPECT_EQ(m.SeekFile(h, 5, 0), 5);
  EXPECT_TRUE(m.WriteFile(h, "z"));  // past the end: the gap is zeros
  EXPECT_EQ(m.FileSize(h), 6);
  std::string data;
  EXPECT_FALSE(m.ReadFile(h, 10, &data));  // opened for writing only
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
  EXPECT_EQ(m.SeekFile(h, -1, 0), -1);
  m.CloseHandle(h);
  EXPECT_EQ(m.ReadFileText(f), std::string("abc\0\0z", 6));

  h = m.OpenFile(f, os::kGenericRead | os::kGenericWrite, 0, os::kTruncateExisting);
  ASSERT_NE(h, 0u);
  EXPECT_EQ(m.FileSize(h), 0);
  m.CloseHandle(h);
  h = m.OpenFile(f, os::kGenericWrite, 0, os::kCreateAlways);
  EXPECT_EQ(m.LastError(), os::kErrorAlreadyExists);
  m.CloseHandle(h);
  EXPECT_EQ(m.OpenFile(f, os::kGenericRead, 0, os::kTruncateExisting), 0u);  // needs write
  EXPECT_EQ(m.LastError(), os::kErrorInvalidParameter);
  EXPECT_EQ(m.OpenFile("C:\\TEMP", os::kGenericRead, 0, os::kOpenExisting), 0u);
  EXPECT_EQ(m.LastError(), os::kErrorAccessDenied);
}

TEST(SimFiles, SharingModesAreEnforced) {
  SimMachine m;
  m.WriteFileText("C:\\TEMP\\log.txt", "x");
  os::Handle first =
      m.OpenFile("C:\\TEMP\\log.txt", os::kGenericWrite, os::kFileShareRead, os::kOpenExisting);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(m.OpenFile("C:\\TEMP\\log.txt", os::kGenericWrite,
                       os::kFileShareRead | os::kFileShareWrite, os::kOpenExisting),
            0u);  // the first did not share writing
  EXPECT_EQ(m.LastError(), 32u);
  os::Handle reader = m.OpenFile("C:\\TEMP\\log.txt", os::kGenericRead,
                                 os::kFileShareRead | os::kFileShareWrite, os::kOpenExisting);
  EXPECT_NE(reader, 0u);
  EXPECT_FALSE(m.DeleteFile("C:\\TEMP\\log.txt"));
  EXPECT_EQ(m.LastError(), 32u);
  m.CloseHandle(reader);
  m.CloseHandle(first);
  EXPECT_TRUE(m.DeleteFile("C:\\TEMP\\log.txt"));
}

TEST(SimFiles, UncSharesExistOnceMade) {
  SimMachine m;
  EXPECT_EQ(m.FileAttributes("\\\\srv\\share\\a.txt"), os::kInvalidFileAttributes);
  EXPECT_EQ(m.LastError(), 53u);  // no such server or share
  m.MakeDirectory("\\\\srv\\share");
  EXPECT_EQ(m.FileAttributes("\\\\srv\\share\\a.txt"), os::kInvalidFileAttributes);
  EXPECT_EQ(m.LastError(), os::kErrorFileNotFound);
  ASSERT_TRUE(m.SetCurrentDirectory("\\\\SRV\\Share"));
  EXPECT_EQ(Full(m, "\\x"), "\\\\SRV\\Share\\x");
}

TEST(SimFiles, FileVersions) {
  SimMachine m;
  EXPECT_FALSE(m.FileVersionOf("C:\\WINDOWS\\system32\\msi.dll"));
  m.SetFileVersion("C:\\WINDOWS\\system32\\msi.dll", os::FileVersion{3, 1, 4000, 2435});
  std::optional<os::FileVersion> v = m.FileVersionOf("c:\\windows\\SYSTEM32\\MSI.DLL");
  ASSERT_TRUE(v);
  EXPECT_EQ(v->major, 3);
  EXPECT_EQ(v->build, 4000);
}

}  // namespace
