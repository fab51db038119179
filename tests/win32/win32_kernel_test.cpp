// The kernel services as the start-up and the saver rely on them, against the real system.
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace swfsaver::win32 {
namespace {

std::string UniqueName(const char* what) {
  return std::string("SwfSaverTest ") + what + " " + std::to_string(GetCurrentProcessId());
}

TEST(KernelTest, MutexReportsWhetherItsNameAlreadyExisted) {
  Win32Kernel kernel;
  const std::string name = UniqueName("mutex");
  uint32_t firstError = 99;
  const platform::Handle first = kernel.CreateMutex(true, name, &firstError);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(firstError, 0u);

  // A stale error code from an earlier call must not read as "already exists".
  SetLastError(ERROR_FILE_NOT_FOUND);
  const platform::Handle fresh = kernel.CreateMutex(true, UniqueName("other"), &firstError);
  EXPECT_EQ(firstError, 0u);

  uint32_t secondError = 0;
  const platform::Handle second = kernel.CreateMutex(true, name, &secondError);
  EXPECT_NE(second, 0u);
  EXPECT_EQ(secondError, platform::kErrorAlreadyExists);

  // Released but still open: the name stays taken.
  kernel.ReleaseMutex(first);
  uint32_t thirdError = 0;
  const platform::Handle third = kernel.CreateMutex(true, name, &thirdError);
  EXPECT_EQ(thirdError, platform::kErrorAlreadyExists);

  for (platform::Handle handle : {first, second, third, fresh}) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
  }
}

TEST(KernelTest, SystemDirectoryLengthIsZeroWhenTheBufferIsTooSmall) {
  Win32Kernel kernel;
  char buffer[platform::kMaxPath] = {};
  const uint32_t length = kernel.GetSystemDirectory(buffer, platform::kMaxPath);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::strlen(buffer), length);

  char small[3] = {};
  EXPECT_EQ(kernel.GetSystemDirectory(small, sizeof(small)), 0u);
}

TEST(KernelTest, PasswordRoutineOfTheSystemLibraryIsFoundAndCalled) {
  Win32Kernel kernel;
  char directory[platform::kMaxPath] = {};
  const uint32_t length = kernel.GetSystemDirectory(directory, platform::kMaxPath);
  const platform::Handle library =
      kernel.LoadLibrary(std::string(directory, length) + "\\MPR.DLL");
  ASSERT_NE(library, 0u);
  const platform::ProcAddress routine = kernel.GetProcAddress(library, "PwdChangePasswordA");
  ASSERT_NE(routine, 0u);
  EXPECT_EQ(kernel.GetProcAddress(library, "NoSuchRoutine"), 0u);
  // Wine's routine succeeds without showing anything.
  EXPECT_EQ(kernel.CallPwdChangePassword(routine, "SCRSAVE", 1234, 0, 0), 0u);
  kernel.FreeLibrary(library);

  EXPECT_EQ(kernel.LoadLibrary(std::string(directory, length) + "\\NoSuchLibrary.dll"), 0u);
}

struct PasswordCall {
  std::string provider;
  HWND owner;
  DWORD reserved1;
  LPVOID reserved2;
};
PasswordCall lastCall;

DWORD WINAPI RecordPasswordCall(LPCSTR provider, HWND owner, DWORD reserved1, LPVOID reserved2) {
  lastCall = {provider, owner, reserved1, reserved2};
  return 42;
}

TEST(KernelTest, PasswordRoutineGetsTheOwnerSignExtendedToAWindowHandle) {
  Win32Kernel kernel;
  const auto routine = reinterpret_cast<platform::ProcAddress>(&RecordPasswordCall);

  EXPECT_EQ(kernel.CallPwdChangePassword(routine, "SCRSAVE", -2, 0, 0), 42u);
  EXPECT_EQ(lastCall.provider, "SCRSAVE");
  EXPECT_EQ(lastCall.owner, reinterpret_cast<HWND>(static_cast<intptr_t>(-2)));
  EXPECT_EQ(lastCall.reserved1, 0u);
  EXPECT_EQ(lastCall.reserved2, nullptr);

  kernel.CallPwdChangePassword(routine, "SCRSAVE", 0x12345678, 0, 0);
  EXPECT_EQ(lastCall.owner, reinterpret_cast<HWND>(static_cast<intptr_t>(0x12345678)));
}

class KernelFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    folder_ = std::string(base) + UniqueName("files");
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    file_ = folder_ + "\\ten.bin";
    HANDLE file = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "0123456789", 10, &written, nullptr);
    CloseHandle(file);
  }
  void TearDown() override {
    DeleteFileA(file_.c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  Win32Kernel kernel_;
  std::string folder_;
  std::string file_;
};

TEST_F(KernelFileTest, FileExistsOnlyForFiles) {
  EXPECT_TRUE(kernel_.FileExists(file_));
  EXPECT_FALSE(kernel_.FileExists(folder_));
  EXPECT_FALSE(kernel_.FileExists(folder_ + "\\missing.bin"));
  EXPECT_FALSE(kernel_.FileExists(""));
}

TEST_F(KernelFileTest, ReadsFromAPositionAndShortAtTheEnd) {
  const platform::Handle file = kernel_.OpenFileForReading(file_);
  ASSERT_NE(file, 0u);
  uint8_t buffer[17] = {};
  uint32_t read = 0;

  ASSERT_TRUE(kernel_.SeekFile(file, 8));
  EXPECT_TRUE(kernel_.ReadFile(file, buffer, sizeof(buffer), &read));
  EXPECT_EQ(read, 2u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), read), "89");

  // Beyond the end: the position is accepted and nothing arrives.
  ASSERT_TRUE(kernel_.SeekFile(file, 1000));
  EXPECT_TRUE(kernel_.ReadFile(file, buffer, sizeof(buffer), &read));
  EXPECT_EQ(read, 0u);
  kernel_.CloseFile(file);

  EXPECT_EQ(kernel_.OpenFileForReading(folder_ + "\\missing.bin"), 0u);
}

TEST(KernelModuleTest, ModuleFileNameIsTheRunningProgramsFullPath) {
  Win32Kernel kernel;
  const std::string name = kernel.ModuleFileName();
  ASSERT_GT(name.size(), std::strlen("win32_kernel_test.exe"));
  EXPECT_EQ(name.substr(name.size() - std::strlen("win32_kernel_test.exe")),
            "win32_kernel_test.exe");
  EXPECT_EQ(name[1], ':');
}

}  // namespace
}  // namespace swfsaver::win32
