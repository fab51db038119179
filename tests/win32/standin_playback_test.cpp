// The five operations the saver uses, through IDispatch and through the IShockwaveFlash vtable:
// Movie loads (or leaves no movie), TotalFrames gives the header's count, Play runs the frames
// at the header's rate on the control's window timer, CurrentFrame counts from 0 and wraps.
#include <cstdio>
#include <vector>

#include "tests/win32/standin_support.h"

namespace swfsaver::standin_test {
namespace {

// Calls through the raw vtable by slot number, independent of any interface declaration.
HRESULT CallSlot(IUnknown* object, int slot) {
  using Method = HRESULT(STDMETHODCALLTYPE*)(IUnknown*);
  return reinterpret_cast<Method>((*reinterpret_cast<void***>(object))[slot])(object);
}

HRESULT CallSlotLong(IUnknown* object, int slot, long* value) {
  using Method = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, long*);
  return reinterpret_cast<Method>((*reinterpret_cast<void***>(object))[slot])(object, value);
}

constexpr int kSlotReadyState = 7;
constexpr int kSlotTotalFrames = 8;
constexpr int kSlotPlay = 28;
constexpr int kSlotStop = 29;
constexpr int kSlotCurrentFrame = 35;

class StandinPlayback : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    flash_ = Create<flashapi::IShockwaveFlash>(flashapi::kIidShockwaveFlash);
    ASSERT_NE(flash_, nullptr);
    ASSERT_EQ(flash_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object_)), S_OK);
    ASSERT_EQ(object_->SetClientSite(&site_), S_OK);
  }
  void TearDown() override {
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
      object_->Release();
    }
    if (flash_) {
      EXPECT_EQ(flash_->Release(), 0u);
    }
    StandinTest::TearDown();
  }

  void Activate() {
    ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.Window(), nullptr),
              S_OK);
  }
  long TotalFrames() { return GetLong(flash_, flashapi::kDispidTotalFrames); }
  long Frame() {
    long frame = -1;
    EXPECT_EQ(flash_->CurrentFrame(&frame), S_OK);
    return frame;
  }

  TestSite site_;
  flashapi::IShockwaveFlash* flash_ = nullptr;
  IOleObject* object_ = nullptr;
};

TEST_F(StandinPlayback, TotalFramesIsTheHeaderCount) {
  struct Case {
    uint16_t frames;
    bool compressed;
  };
  for (const Case c : {Case{1, false}, Case{12, false}, Case{60, true}, Case{12, true}}) {
    TempMovie movie(L"count.swf", MovieOptions(550, 400, 12, c.frames, c.compressed));
    ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
    EXPECT_EQ(TotalFrames(), c.frames) << (c.compressed ? "CWS" : "FWS");
    long total = -1;
    EXPECT_EQ(flash_->get_TotalFrames(&total), S_OK);
    EXPECT_EQ(total, c.frames);
    EXPECT_EQ(Frame(), 0);
  }
}

TEST_F(StandinPlayback, PathThatCannotBeLoadedLeavesNoMovie) {
  TempMovie good(L"good.swf", MovieOptions(320, 240, 12, 12));
  TempMovie cut(L"cut.swf", std::vector<uint8_t>{'F', 'W', 'S', 6, 52, 0, 0, 0, 0x78, 0, 0x05});
  TempMovie text(L"text.swf", std::vector<uint8_t>(40, 'x'));
  TempMovie lzma(L"lzma.swf", std::vector<uint8_t>{'Z', 'W', 'S', 13, 40, 0, 0, 0, 1, 2, 3, 4});
  const std::wstring bad[] = {TempPath(L"missing.swf"), cut.Path(), text.Path(), lzma.Path(),
                              L"", L"C:\\"};
  for (const std::wstring& path : bad) {
    ASSERT_EQ(PutMovie(flash_, good.Path()), S_OK);
    ASSERT_EQ(TotalFrames(), 12);
    EXPECT_EQ(PutMovie(flash_, path), S_OK) << Narrow(path);
    EXPECT_EQ(TotalFrames(), 0) << Narrow(path);
    EXPECT_EQ(Frame(), -1) << Narrow(path) << ": the saver's wait for the last frame ends";
    EXPECT_EQ(CallMethod(flash_, flashapi::kDispidPlay), S_OK) << "Play without a movie is harmless";
    EXPECT_EQ(Frame(), -1);
  }
}

// 20 frames per second: over one second about 20 steps (fewer when the machine is busy), each
// of one frame, 4 -> 0 included.
TEST_F(StandinPlayback, PlayAdvancesAtTheFrameRateAndWrapsToZero) {
  TempMovie movie(L"rate.swf", MovieOptions(320, 240, 20, 5));
  Activate();
  ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
  ASSERT_EQ(flash_->Play(), S_OK);
  std::vector<long> frames{Frame()};
  const ULONGLONG start = GetTickCount64();
  PumpUntil(1000, [&] {
    const long frame = Frame();
    if (frame != frames.back()) frames.push_back(frame);
    return false;
  });
  const ULONGLONG elapsed = GetTickCount64() - start;
  const size_t steps = frames.size() - 1;
  std::printf("%zu frame steps in %llu ms at 20 fps\n", steps, elapsed);
  EXPECT_GE(steps, 12u) << elapsed << " ms";  // timers only run late, under load
  EXPECT_LE(steps, 21u) << elapsed << " ms";
  int wraps = 0;
  for (size_t i = 1; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i], (frames[i - 1] + 1) % 5) << "step " << i;
    if (frames[i] == 0) ++wraps;
  }
  EXPECT_GE(wraps, 2);
}

TEST_F(StandinPlayback, VtableSlotsAgreeWithIDispatch) {
  TempMovie movie(L"slots.swf", MovieOptions(550, 400, 30, 7));
  Activate();
  ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
  long total = -1;
  EXPECT_EQ(CallSlotLong(flash_, kSlotTotalFrames, &total), S_OK);
  EXPECT_EQ(total, 7);
  EXPECT_EQ(CallSlot(flash_, kSlotPlay), S_OK);
  ASSERT_TRUE(PumpUntil(2000, [&] { return Frame() >= 3; }));
  for (int i = 0; i < 10; ++i) {
    long vtableFrame = -1;
    EXPECT_EQ(CallSlotLong(flash_, kSlotCurrentFrame, &vtableFrame), S_OK);
    EXPECT_EQ(GetLong(flash_, flashapi::kDispidCurrentFrame, DISPATCH_METHOD), vtableFrame);
    EXPECT_EQ(GetLong(flash_, flashapi::kDispidTotalFrames), total);
    Pump(20);
  }
  long unused = 0;
  EXPECT_EQ(CallSlotLong(flash_, kSlotReadyState, &unused), E_NOTIMPL);
  EXPECT_EQ(CallSlot(flash_, kSlotStop), E_NOTIMPL);
}

TEST_F(StandinPlayback, PlayThroughIDispatchStartsTheMovie) {
  TempMovie movie(L"dispatch_play.swf", MovieOptions(550, 400, 30, 4));
  Activate();
  ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
  Pump(150);
  EXPECT_EQ(Frame(), 0) << "a loaded movie waits for Play";
  EXPECT_EQ(CallMethod(flash_, flashapi::kDispidPlay), S_OK);
  EXPECT_TRUE(PumpUntil(1000, [&] { return Frame() > 0; }));
}

TEST_F(StandinPlayback, SettingTheSameMovieAgainStartsFromFrameZero) {
  TempMovie movie(L"again.swf", MovieOptions(550, 400, 30, 60));
  Activate();
  ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
  ASSERT_EQ(flash_->Play(), S_OK);
  ASSERT_TRUE(PumpUntil(2000, [&] { return Frame() >= 3; }));
  ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(TotalFrames(), 60);
  ASSERT_EQ(flash_->Play(), S_OK);
  EXPECT_TRUE(PumpUntil(1000, [&] { return Frame() > 0; }));
}

// The frame timer needs the control's window: Play before in-place activation takes effect
// once the window exists.
TEST_F(StandinPlayback, PlayBeforeActivationStartsWithTheWindow) {
  TempMovie movie(L"early.swf", MovieOptions(550, 400, 30, 10));
  ASSERT_EQ(PutMovie(flash_, movie.Path()), S_OK);
  ASSERT_EQ(flash_->Play(), S_OK);
  Pump(150);
  EXPECT_EQ(Frame(), 0);
  Activate();
  EXPECT_TRUE(PumpUntil(1000, [&] { return Frame() > 0; }));
}

TEST_F(StandinPlayback, DispatchNamesAndErrors) {
  const wchar_t* names[] = {L"Movie", L"totalframes", L"BACKGROUNDCOLOR", L"Play", L"CurrentFrame"};
  const DISPID expected[] = {0x66, 0x7C, 0x7B, 0x70, 0x80};
  for (size_t i = 0; i < 5; ++i) {
    LPOLESTR name = const_cast<LPOLESTR>(names[i]);
    DISPID id = 0;
    EXPECT_EQ(flash_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    EXPECT_EQ(id, expected[i]);
  }
  LPOLESTR unknown = const_cast<LPOLESTR>(L"Rewind");
  DISPID id = 0;
  EXPECT_EQ(flash_->GetIDsOfNames(IID_NULL, &unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(id, DISPID_UNKNOWN);

  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(flash_->Invoke(0x74, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(flash_->Invoke(flashapi::kDispidMovie, IID_NULL, 0, DISPATCH_PROPERTYPUT, &none, nullptr,
                           nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(flash_->Invoke(flashapi::kDispidTotalFrames, IID_NULL, 0, DISPATCH_PROPERTYPUT, &none,
                           nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND) << "TotalFrames is read-only";
  VARIANT text;
  VariantInit(&text);
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = SysAllocString(L"black");
  EXPECT_EQ(PutProperty(flash_, flashapi::kDispidBackgroundColor, text), DISP_E_TYPEMISMATCH);
  VariantClear(&text);
  EXPECT_EQ(PutLong(flash_, flashapi::kDispidBackgroundColor, 0), S_OK);
  EXPECT_EQ(GetLong(flash_, flashapi::kDispidBackgroundColor), 0);
}

}  // namespace
}  // namespace swfsaver::standin_test
