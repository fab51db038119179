// The call trace the end-to-end tests read: written only while the current user's
// Software\SwfSaverTest\FlashStandin key names a file, one timestamped line per call.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "standin/flash/Trace.h"
#include "tests/win32/standin_support.h"

namespace swfsaver::standin_test {
namespace {

struct TraceLine {
  unsigned long long ms = 0;
  std::string event;  // the event name and its arguments
};

std::vector<TraceLine> ReadTrace(const std::wstring& path) {
  std::ifstream file(Narrow(path));
  std::vector<TraceLine> lines;
  std::string line;
  while (std::getline(file, line)) {
    const size_t space = line.find(' ');
    lines.push_back({std::stoull(line.substr(0, space)), line.substr(space + 1)});
  }
  return lines;
}

unsigned long long NowUnixMs() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) |
                                   now.dwLowDateTime;
  return (ticks - 116444736000000000ull) / 10000;
}

class StandinTrace : public StandinTest {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, flash::kTraceKeyPath);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\SwfSaverTest");  // only if nothing else is in it
    DeleteFileW(file_.c_str());
    StandinTest::TearDown();
  }
  void SwitchOn() {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, flash::kTraceKeyPath, flash::kTraceFileValue,
                              REG_SZ, file_.c_str(),
                              static_cast<DWORD>((file_.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  const std::wstring file_ = TempPath(L"trace.txt");
};

TEST_F(StandinTrace, WritesOneLinePerCallInOrder) {
  SwitchOn();
  TempMovie movie(L"traced movie.swf", MovieOptions(550, 400, 12, 12));
  const unsigned long long before = NowUnixMs();
  {
    TestSite site;
    IOleObject* object = Create<IOleObject>(IID_IOleObject);
    ASSERT_NE(object, nullptr);
    IPersistStreamInit* persist = nullptr;
    IDispatch* dispatch = nullptr;
    IOleInPlaceObject* inPlace = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    ASSERT_EQ(object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)), S_OK);
    object->SetClientSite(&site);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    stream->Write(flashapi::kStoredControlData.data(), 100, nullptr);  // cut short: fails
    stream->Seek({}, STREAM_SEEK_SET, nullptr);
    EXPECT_TRUE(FAILED(persist->Load(stream)));
    stream->Release();
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.Window(), &site.rect), S_OK);
    EXPECT_EQ(PutLong(dispatch, flashapi::kDispidBackgroundColor, 0), S_OK);
    EXPECT_EQ(PutMovie(dispatch, movie.Path()), S_OK);
    EXPECT_EQ(CallMethod(dispatch, flashapi::kDispidPlay), S_OK);
    const RECT moved{237, 184, 237 + 550, 184 + 400};
    EXPECT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
    EXPECT_EQ(PutMovie(dispatch, TempPath(L"gone.swf")), S_OK);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    inPlace->Release();
    dispatch->Release();
    persist->Release();
    object->Release();
  }
  const unsigned long long after = NowUnixMs();

  const std::vector<TraceLine> lines = ReadTrace(file_);
  const std::vector<std::string> expected = {
      "Create",
      "Load failed 0x8003001E",  // STG_E_READFAULT: the stream ended inside the data
      "Bounds 10 20 200 150",
      "BackgroundColor 0",
      "Movie " + Narrow(movie.Path()),
      "MovieFrames 12",
      "Play",
      "Bounds 237 184 550 400",
      "Movie " + Narrow(TempPath(L"gone.swf")),
      "MovieFrames 0",
      "Close",
      "Deactivate",
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].event, expected[i]) << "line " << i;
    EXPECT_GE(lines[i].ms + 1, before) << "line " << i;  // wall clock, in milliseconds
    EXPECT_LE(lines[i].ms, after + 1) << "line " << i;
    if (i > 0) {
      EXPECT_GE(lines[i].ms, lines[i - 1].ms);
    }
  }
}

TEST_F(StandinTrace, WritesNothingWithoutTheSwitch) {
  IDispatch* dispatch = Create<IDispatch>(IID_IDispatch);
  ASSERT_NE(dispatch, nullptr);
  EXPECT_EQ(PutMovie(dispatch, TempPath(L"any.swf")), S_OK);
  EXPECT_EQ(CallMethod(dispatch, flashapi::kDispidPlay), S_OK);
  dispatch->Release();
  EXPECT_EQ(GetFileAttributesW(file_.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace swfsaver::standin_test
