// The program entry over the fake platform: every way out of the start-up with its exit
// code, the single-instance refusal, change-password mode and the last-chance report.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "framework/Application.h"
#include "framework/RunMode.h"
#include "platform/Exceptions.h"
#include "tests/fakes/FakePlatform.h"

namespace swfsaver {
namespace {

using fakes::FakeCodePage;
using fakes::FakePlatform;
using fakes::ShiftJis;
using platform::MessageBoxKind;

const std::string kMpr = "C:\\Windows\\system32\\MPR.DLL";

// A window that the user closes as soon as the loop runs; it notes its life in the log.
class TestForm : public MainForm {
 public:
  TestForm(std::vector<std::string>& log, FakePlatform& fake, std::string name)
      : log_(log), fake_(fake), name_(std::move(name)) {
    log_.push_back(name_ + " created");
    fake_.application.onWait = [this] { fake_.application.Terminate(); };
  }
  ~TestForm() override {
    log_.push_back(name_ + " destroyed, mutexes released: " +
                   std::to_string(fake_.kernel.releasedMutexes.size()));
  }

 private:
  std::vector<std::string>& log_;
  FakePlatform& fake_;
  std::string name_;
};

class TestForms : public MainFormFactory {
 public:
  explicit TestForms(FakePlatform& fake) : fake_(fake) {}
  std::unique_ptr<MainForm> CreateForm2(platform::Platform&, TApplication&) override {
    return Create("TForm2");
  }
  std::unique_ptr<MainForm> CreateForm1(platform::Platform&, TApplication&) override {
    return Create("TForm1");
  }
  bool failCreation = false;  // the Flash control is not registered
  std::vector<std::string> log;

 private:
  std::unique_ptr<MainForm> Create(const std::string& name) {
    if (failCreation) throw EOleSysError("クラスが登録されていません", 0x80040154);
    return std::make_unique<TestForm>(log, fake_, name);
  }
  FakePlatform& fake_;
};

class Startup : public ::testing::Test {
 protected:
  Startup() { fake.kernel.AddLibrary(kMpr, {"PwdChangePasswordA"}); }
  int Run(const std::string& arguments) {
    fake.kernel.commandLine = "\"C:\\Windows\\SwfSaver.scr\" " + arguments;
    return ProgramMain(fake.platform, forms);
  }
  FakePlatform fake;
  TestForms forms{fake};
};

TEST_F(Startup, UnknownFirstArgumentEndsAtOnceWithNothingDone) {
  for (const char* argument : {"x", "/x", "--s", "/", "\"/x y\""}) {
    fake.kernel.commandLine = std::string("SwfSaver.scr ") + argument;
    EXPECT_EQ(ProgramMain(fake.platform, forms), 0) << argument;
  }
  EXPECT_TRUE(fake.kernel.mutexRequests.empty());
  EXPECT_TRUE(fake.kernel.loadedLibraries.empty());
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  EXPECT_EQ(fake.application.initializeCount, 0);
  EXPECT_TRUE(forms.log.empty());
}

TEST_F(Startup, ConfigureAndSaverRunTheirWindowThenReleaseTheMutex) {
  struct Row {
    const char* arguments;
    TRunMode mode;
    const char* form;
  };
  for (const Row& row : {Row{"", rmConfigure, "TForm2"}, Row{"/c:1234", rmConfigure, "TForm2"},
                         Row{"/S", rmSaver, "TForm1"}, Row{"saver", rmSaver, "TForm1"}}) {
    FakePlatform run;
    TestForms runForms(run);
    run.kernel.commandLine = std::string("\"C:\\My Savers\\SwfSaver.scr\" ") + row.arguments;
    EXPECT_EQ(ProgramMain(run.platform, runForms), 0) << row.arguments;
    EXPECT_EQ(RunMode, row.mode);
    ASSERT_EQ(run.kernel.mutexRequests.size(), 1u);
    EXPECT_EQ(run.kernel.mutexRequests[0].name, kInstanceMutexName);
    EXPECT_TRUE(run.kernel.mutexRequests[0].initialOwner);
    EXPECT_EQ(run.application.initializeCount, 1);
    EXPECT_EQ(run.application.initializedTitle, "Swfsaver") << "the taskbar button's title";
    EXPECT_EQ(run.application.runCount, 1);
    // The window goes first, then the mutex is released, once.
    EXPECT_EQ(runForms.log, (std::vector<std::string>{
                                std::string(row.form) + " created",
                                std::string(row.form) + " destroyed, mutexes released: 0"}));
    EXPECT_EQ(run.kernel.releasedMutexes.size(), 1u);
    EXPECT_TRUE(run.application.messageBoxes.empty());
    // Only the saver draws at the display's real pixels; the dialog stays as it is.
    EXPECT_EQ(run.system.dpiAwareDeclared, row.mode == rmSaver ? 1 : 0) << row.arguments;
  }
}

TEST_F(Startup, PreviewInitialisesReleasesAndEndsWithoutAWindow) {
  EXPECT_EQ(Run("/p 12345"), 0);
  EXPECT_EQ(RunMode, rmPreview);
  EXPECT_EQ(fake.application.initializeCount, 1);
  EXPECT_EQ(fake.kernel.releasedMutexes.size(), 1u);
  EXPECT_EQ(fake.application.runCount, 0);
  EXPECT_TRUE(forms.log.empty());
}

TEST_F(Startup, SecondInstanceIsRefusedInAnInformationBoxCaptionedWithTheTitle) {
  fake.kernel.existingMutexes.insert(kInstanceMutexName);
  for (const char* arguments : {"/s", "/p 12", "/c"}) EXPECT_EQ(Run(arguments), 0);
  ASSERT_EQ(fake.application.messageBoxes.size(), 3u);
  const fakes::MessageBoxRecord& box = fake.application.messageBoxes[0];
  EXPECT_EQ(box.caption, "Swfsaver");
  EXPECT_EQ(box.text, "ERROR - 複数アプリケーションの起動は制限されています。");
  EXPECT_EQ(box.kind, MessageBoxKind::Information);
  EXPECT_TRUE(fake.kernel.releasedMutexes.empty());  // the handle is kept to the end
  EXPECT_EQ(fake.application.initializeCount, 0);
  EXPECT_TRUE(forms.log.empty());
}

TEST_F(Startup, FailingMutexCreationIsRefusedLikeASecondInstance) {
  fake.kernel.failMutexCreation = true;
  fake.codePage.Set(FakeCodePage::Kind::ShiftJis);
  fake.kernel.moduleFileName = ShiftJis("C:\\保存\\表示SAVER.SCR");
  EXPECT_EQ(Run("/s"), 0);
  ASSERT_EQ(fake.application.messageBoxes.size(), 1u);
  EXPECT_EQ(fake.application.messageBoxes[0].caption, "表示saver");
  EXPECT_TRUE(forms.log.empty());
}

TEST_F(Startup, WindowCreationFailureEndsWithOneAndKeepsTheMutex) {
  forms.failCreation = true;
  EXPECT_EQ(Run("/c"), 1);
  ASSERT_EQ(fake.application.messageBoxes.size(), 1u);
  const fakes::MessageBoxRecord& box = fake.application.messageBoxes[0];
  EXPECT_EQ(box.caption, "アプリケーション エラー");
  EXPECT_EQ(box.kind, MessageBoxKind::TaskModalError);
  EXPECT_EQ(box.text.rfind("EOleSysError がモジュール SwfSaver.scr の ", 0), 0u) << box.text;
  EXPECT_TRUE(box.text.ends_with("\r\nクラスが登録されていません.")) << box.text;
  EXPECT_TRUE(fake.kernel.releasedMutexes.empty());
  EXPECT_EQ(fake.application.runCount, 0);
}

// Nobody would answer the box: the saver records the same text beside its settings.
TEST_F(Startup, TheSaversLastChanceReportIsRecordedNotShown) {
  forms.failCreation = true;
  fake.codePage.Set(FakeCodePage::Kind::ShiftJis);
  EXPECT_EQ(Run("/s"), 1);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  const std::string recorded =
      fake.registry.Text("Software\\Ostrevanlab\\SwfSaver\\LastError", "Message").value_or("");
  EXPECT_EQ(recorded.rfind("EOleSysError ", 0), 0u) << recorded;
  EXPECT_TRUE(recorded.ends_with(ShiftJis("\r\nクラスが登録されていません."))) << recorded;
}

TEST_F(Startup, ChangePasswordCallsTheRoutineFromTheSystemDirectory) {
  EXPECT_EQ(Run("/a 1234"), 0);
  EXPECT_EQ(RunMode, rmChangePassword);
  EXPECT_EQ(fake.kernel.loadedLibraries, std::vector<std::string>{kMpr});
  ASSERT_EQ(fake.kernel.passwordCalls.size(), 1u);
  const fakes::PasswordCall& call = fake.kernel.passwordCalls[0];
  EXPECT_EQ(call.provider, "SCRSAVE");
  EXPECT_EQ(call.owner, 1234);
  EXPECT_EQ(call.reserved1, 0u);
  EXPECT_EQ(call.reserved2, 0u);
  EXPECT_EQ(fake.kernel.freedLibraries, 1);
  // No mutex, no application, no window in this mode.
  EXPECT_TRUE(fake.kernel.mutexRequests.empty());
  EXPECT_EQ(fake.application.initializeCount, 0);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(Startup, ChangePasswordOwnerFormsAndQuotedWords) {
  EXPECT_EQ(Run("/a \"  -42\""), 0);
  EXPECT_EQ(Run("-a 0x4d2"), 0);
  ASSERT_EQ(fake.kernel.passwordCalls.size(), 2u);
  EXPECT_EQ(fake.kernel.passwordCalls[0].owner, -42);
  EXPECT_EQ(fake.kernel.passwordCalls[1].owner, 1234);
}

TEST_F(Startup, SystemDirectoryGetsExactlyOneBackslash) {
  struct Row {
    std::string directory;
    std::string loaded;
  };
  for (const Row& row : {Row{"C:\\Windows\\system32", kMpr}, Row{"C:\\", "C:\\MPR.DLL"},
                         Row{"", "MPR.DLL"},
                         // Longer than the 260-character buffer: treated as not available.
                         Row{"C:\\" + std::string(300, 'd'), "MPR.DLL"}}) {
    FakePlatform run;
    run.kernel.systemDirectory = row.directory;
    run.kernel.commandLine = "s.scr /a 1";
    EXPECT_EQ(ProgramMain(run.platform, forms), 0);
    EXPECT_EQ(run.kernel.loadedLibraries, std::vector<std::string>{row.loaded});
  }
}

TEST_F(Startup, BadOwnerIsReportedOnlyWhenTheRoutineExists) {
  EXPECT_EQ(Run("/a"), 1);
  EXPECT_EQ(Run("/a xyz"), 1);
  ASSERT_EQ(fake.application.messageBoxes.size(), 2u);
  const std::string& text = fake.application.messageBoxes[1].text;
  EXPECT_EQ(text.rfind("EConvertError がモジュール SwfSaver.scr の ", 0), 0u) << text;
  EXPECT_TRUE(text.ends_with(" で発生しました。\r\n'XYZ' は整数ではありません.")) << text;
  EXPECT_EQ(fake.application.messageBoxes[0].caption, "アプリケーション エラー");
  EXPECT_EQ(fake.application.messageBoxes[0].kind, MessageBoxKind::TaskModalError);
  EXPECT_TRUE(fake.kernel.passwordCalls.empty());
  EXPECT_EQ(fake.kernel.LoadedLibraryCount(), 0);

  FakePlatform noRoutine;
  noRoutine.kernel.AddLibrary(kMpr, {"PwdSetPasswordA"});
  noRoutine.kernel.commandLine = "s.scr /a xyz";
  EXPECT_EQ(ProgramMain(noRoutine.platform, forms), 0);
  EXPECT_EQ(noRoutine.kernel.freedLibraries, 1);

  FakePlatform noLibrary;
  noLibrary.kernel.commandLine = "s.scr /a";
  EXPECT_EQ(ProgramMain(noLibrary.platform, forms), 0);
  for (FakePlatform* run : {&noRoutine, &noLibrary}) {
    EXPECT_TRUE(run->application.messageBoxes.empty());
    EXPECT_TRUE(run->kernel.passwordCalls.empty());
  }
}

}  // namespace
}  // namespace swfsaver
