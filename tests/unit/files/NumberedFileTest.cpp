#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

#include "platform/files/FileError.h"
#include "platform/files/FileTable.h"
#include "platform/files/NumberedFile.h"
#include "skein10/Error.h"

namespace skein10::files {
namespace {

namespace fs = std::filesystem;

class NumberedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("skein10-files-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  String path(const std::string& name) const { return fromUtf8((dir_ / name).string()); }

  void put(const std::string& name, const std::string& content) const {
    std::ofstream(dir_ / name, std::ios::binary) << content;
  }

  std::string get(const std::string& name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path dir_;
};

std::span<const uint8_t> bytesOf(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

TEST_F(NumberedFileTest, WritesAndReadsRawBlocksFromTheStart) {
  put("data.bin", "old content that is longer");
  NumberedFile::createEmpty(path("data.bin"));
  EXPECT_EQ(get("data.bin"), "");

  std::vector<uint8_t> all(5000);
  std::iota(all.begin(), all.end(), 0);  // every byte value, wrapping
  {
    NumberedFile out(path("data.bin"), FileMode::BinaryWrite);
    EXPECT_TRUE(FileTable::current().isOpenForWriting(out.number()));
    out.write(std::span(all).first(3072));
    out.write(std::span(all).subspan(3072));
    EXPECT_EQ(out.length(), 5000);
  }
  NumberedFile in(path("data.bin"), FileMode::BinaryRead);
  EXPECT_FALSE(FileTable::current().isOpenForWriting(in.number()));
  EXPECT_EQ(in.length(), 5000);
  std::vector<uint8_t> block(3072), back;
  for (std::size_t n; (n = in.read(block)) > 0;) back.insert(back.end(), block.begin(), block.begin() + n);
  EXPECT_EQ(back, all);
  EXPECT_EQ(in.read(block), 0u);
}

TEST_F(NumberedFileTest, BinaryWriteKeepsTheFileAndStartsAtItsStart) {
  put("keep.txt", "abcdef");
  NumberedFile out(path("keep.txt"), FileMode::BinaryWrite);
  out.write(bytesOf("XY"));
  out.close();
  EXPECT_EQ(get("keep.txt"), "XYcdef");
  EXPECT_EQ(out.number(), 0);
}

TEST_F(NumberedFileTest, NumbersAreTheLowestFreeAndComeBackWhenTheHandleGoesAway) {
  const int16_t first = FileTable::current().freeFile();
  EXPECT_GT(first, 0);
  try {
    NumberedFile a(path("a"), FileMode::Output);
    NumberedFile b(path("b"), FileMode::Output);
    EXPECT_EQ(a.number(), first);
    EXPECT_EQ(b.number(), first + 1);
    throw std::runtime_error("transfer failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(FileTable::current().isOpen(first));
  EXPECT_FALSE(FileTable::current().isOpen(first + 1));
  EXPECT_EQ(FileTable::current().freeFile(), first);
}

TEST_F(NumberedFileTest, FailuresRaiseTheRuntimesFileErrors) {
  put("plain.txt", "x");
  fs::create_directories(dir_ / "folder");
  // A file this process may not write to: an ordinary read-only file, and
  // for root (who may write anything of its own) a read-only kernel attribute.
  put("readonly.txt", "x");
  fs::permissions(dir_ / "readonly.txt", fs::perms::owner_read);
  const String forbidden = ::geteuid() == 0 ? u"/sys/class/net/lo/address" : path("readonly.txt");

  FileTable& table = FileTable::current();
  NumberedFile reading(path("plain.txt"), FileMode::BinaryRead);
  NumberedFile writing(path("out.bin"), FileMode::Output);
  const int16_t unused = table.freeFile();
  uint8_t buffer[4];

  struct Case {
    const char* what;
    std::function<void()> act;
    int32_t number;
  } cases[] = {
      {"read with number 0", [&] { table.read(0, buffer); }, errc::BadFileNumber},
      {"length of a negative number", [&] { table.length(-1); }, errc::BadFileNumber},
      {"close of a number not open", [&] { table.close(unused); }, errc::BadFileNumber},
      {"write to a number not open", [&] { table.write(unused, bytesOf("x")); }, errc::BadFileNumber},
      {"open above the largest number", [&] { table.open(FileTable::kMaxNumber + 1, path("n"), FileMode::Output); },
       errc::BadFileNumber},
      {"read a missing file", [&] { NumberedFile(path("missing.txt"), FileMode::BinaryRead); }, errc::FileNotFound},
      {"write to a full disk", [&] { NumberedFile(u"/dev/full", FileMode::BinaryWrite).write(bytesOf("x")); },
       errc::DiskFull},
      {"write a read-only file", [&] { NumberedFile(forbidden, FileMode::BinaryWrite); }, errc::PermissionDenied},
      {"write a folder", [&] { NumberedFile(path("folder"), FileMode::BinaryWrite); }, errc::PathFileAccess},
      {"read a folder", [&] { NumberedFile(path("folder"), FileMode::BinaryRead); }, errc::PathFileAccess},
      {"open an empty name", [&] { NumberedFile(u"", FileMode::BinaryRead); }, errc::PathFileAccess},
      {"read in a missing folder", [&] { NumberedFile(path("none/x.txt"), FileMode::BinaryRead); },
       errc::PathNotFound},
      {"create in a missing folder", [&] { NumberedFile::createEmpty(path("none/x.txt")); }, errc::PathNotFound},
      {"a file used as a folder", [&] { NumberedFile(path("plain.txt/x"), FileMode::BinaryWrite); },
       errc::PathNotFound},
      {"write a file open for reading", [&] { reading.write(bytesOf("x")); }, kBadFileMode},
      {"read a file open for writing", [&] { writing.read(buffer); }, kBadFileMode},
      {"open a number already open", [&] { table.open(reading.number(), path("plain.txt"), FileMode::BinaryRead); },
       kFileAlreadyOpen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.act();
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), c.number) << toUtf8(e.description());
      EXPECT_EQ(e.source(), kRuntimeSource);
    }
  }
  // No failure left a number taken.
  EXPECT_EQ(table.freeFile(), unused);
  EXPECT_FALSE(fs::exists(dir_ / "n"));
}

TEST_F(NumberedFileTest, RunsOutOfNumbersWithTooManyFiles) {
  std::vector<std::unique_ptr<NumberedFile>> open;
  try {
    for (int i = 0; i <= FileTable::kMaxNumber; ++i) {
      open.push_back(std::make_unique<NumberedFile>(path("many"), FileMode::BinaryWrite));
    }
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), kTooManyFiles);
  }
  EXPECT_EQ(open.size(), static_cast<std::size_t>(FileTable::kMaxNumber));
}

}  // namespace
}  // namespace skein10::files
