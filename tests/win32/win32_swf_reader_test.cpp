// The frame-size reader against real files in a temporary folder, with other handles holding
// them open as another program would.
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "swf/UnitGlobal.h"
#include "tools/SwfWriter.h"

namespace swfsaver {
namespace {

class SwfReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    folder_ = std::string(base) + "swfsaver_reader_" + std::to_string(GetCurrentProcessId()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::string File(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = folder_ + "\\" + name;
    EXPECT_TRUE(tools::WriteFileBytes(path, bytes));
    files_.push_back(path);
    return path;
  }
  // 550 x 400 pixels: Nbits 15, Xmax 11000 and Ymax 8000 twips, padded to the given length.
  std::vector<uint8_t> Movie(size_t length) {
    std::vector<uint8_t> bytes = tools::WriteSwf({});
    bytes.resize(length, 0);
    return bytes;
  }
  std::string Read(const std::string& path) {
    std::string header;
    ReadSwfHeaderRect(kernel_, codePage_, path, header);
    return header;
  }
  // True when nobody else has the file open: only then may it be opened without sharing.
  static bool OpenedByNobody(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }
  static HANDLE Hold(const std::string& path, DWORD access, DWORD share) {
    return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  }

  win32::Win32Kernel kernel_;
  win32::Win32CodePage codePage_;
  std::string folder_;

 private:
  std::vector<std::string> files_;
};

TEST_F(SwfReaderTest, ReadsTheFrameSizeOfAMovieOnDisk) {
  const std::string path = File("movie.swf", Movie(25));
  const std::string header = Read(path);
  ASSERT_EQ(header.size(), kSwfHeaderRectSize);
  EXPECT_EQ(SwfFrameWidth(header), 550);
  EXPECT_EQ(SwfFrameHeight(header), 400);
  EXPECT_TRUE(OpenedByNobody(path));
}

TEST_F(SwfReaderTest, ReadsTheTrueFrameSizeOfACompressedMovie) {
  tools::SwfOptions movie;
  movie.widthPixels = 800;
  movie.heightPixels = 600;
  movie.frameCount = 40;
  movie.compressed = true;
  const std::string path = File("compressed.swf", tools::WriteSwf(movie));
  const std::string header = Read(path);
  EXPECT_EQ(SwfFrameWidth(header), 800);
  EXPECT_EQ(SwfFrameHeight(header), 600);
  EXPECT_TRUE(OpenedByNobody(path));
}

TEST_F(SwfReaderTest, FileHeldOpenForWritingCannotBeOpened) {
  const std::string path = File("busy.swf", Movie(25));
  HANDLE writer = Hold(path, GENERIC_WRITE, FILE_SHARE_READ);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  try {
    Read(path);
    ADD_FAILURE() << "the read raised nothing";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "ファイル " + path + " は開けません");
  }
  CloseHandle(writer);
}

TEST_F(SwfReaderTest, FileHeldOpenForReadingWithoutSharingCannotBeOpened) {
  const std::string path = File("exclusive.swf", Movie(25));
  HANDLE reader = Hold(path, GENERIC_READ, 0);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_THROW(Read(path), EFOpenError);
  CloseHandle(reader);
}

TEST_F(SwfReaderTest, FileHeldOpenForReadingBySomeoneElseIsRead) {
  const std::string path = File("shared.swf", Movie(25));
  HANDLE reader = Hold(path, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SwfFrameWidth(Read(path)), 550);
  CloseHandle(reader);
}

TEST_F(SwfReaderTest, MissingFileAndFolderCannotBeOpened) {
  const std::string missing = folder_ + "\\missing.swf";
  try {
    Read(missing);
    ADD_FAILURE() << "the read raised nothing";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "ファイル " + missing + " は開けません");
  }
  EXPECT_THROW(Read(folder_), EFOpenError);
}

TEST_F(SwfReaderTest, FileOfTwentyFourBytesIsTooShortAndIsClosedAgain) {
  const std::string path = File("short.swf", Movie(24));
  try {
    Read(path);
    ADD_FAILURE() << "the read raised nothing";
  } catch (const EReadError& error) {
    EXPECT_EQ(error.Message(), "ストリームからの読み込みエラー");
  }
  EXPECT_TRUE(OpenedByNobody(path));
}

}  // namespace
}  // namespace swfsaver
