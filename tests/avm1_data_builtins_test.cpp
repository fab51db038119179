// The built-ins that hold data rather than draw: Date against the host's clock and zone, XML
// and XMLNode (parsing, building, printing, bounds), loads that fail on a later tick, System,
// getVersion and SharedObject. Driven from C++ as a script would call them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Native.h"
#include "swfplayer/avm1/builtins/Timers.h"
#include "tests/avm1_fakes.h"

namespace swfplayer::avm1 {
namespace {

using testing::FakeClip;
using testing::FakeHost;

// What the recording callbacks saw, "name(args)" a line.
std::vector<std::string> calls;

std::string Describe(NativeCall& call) {
  std::string out;
  for (size_t i = 0; i < call.Count(); ++i) {
    const Value arg = call.Arg(i);
    out += (i > 0 ? "," : "") + (arg.IsUndefined() ? std::string("undefined") : call.vm.ToString(arg)->ToUtf8());
  }
  return out;
}
Value RecordOnLoad(NativeCall& call) {
  calls.push_back("onLoad(" + Describe(call) + ")");
  return Value();
}
Value RecordOnData(NativeCall& call) {
  calls.push_back("onData(" + Describe(call) + ")");
  return Value();
}

class DataBuiltins : public ::testing::Test {
 protected:
  void Make(uint8_t version = 8) {
    host.root = &root;
    vm = std::make_unique<VmImpl>(host, version, Limits{});
    calls.clear();
  }
  Value S(const std::string& text) { return Value(vm->Str(text)); }
  Value Global(const char* name) { return vm->Global()->Get(*vm, vm->Str(name)); }
  Value New(const char* name, std::vector<Value> args = {}) { return vm->Construct(Global(name), args); }
  Value Call(const Value& object, const char* method, std::vector<Value> args = {}) {
    return vm->CallMethod(object, vm->Str(method), args);
  }
  Value Get(const Value& object, const std::string& path) {
    Value at = object;
    size_t begin = 0;
    while (begin <= path.size()) {
      const size_t dot = std::min(path.find('.', begin), path.size());
      if (!at.IsObject()) return Value();
      at = at.AsObject()->Get(*vm, String::FromUtf8(vm->heap, path.substr(begin, dot - begin)));
      begin = dot + 1;
    }
    return at;
  }
  void Set(const Value& object, const char* name, const Value& value) {
    object.AsObject()->Set(*vm, vm->Str(name), value);
  }
  std::string Text(const Value& value) { return value.IsUndefined() ? "undefined" : vm->ToString(value)->ToUtf8(); }
  double Number(const Value& value) { return vm->ToNumber(value); }
  // Moves the clock on and runs what is due, as the player does each tick.
  void Tick(double ms = 40) {
    host.elapsedMs += ms;
    RunDueTimers(*vm);
  }

  FakeHost host;
  FakeClip root;
  std::unique_ptr<VmImpl> vm;
};

// --- Date ---

TEST_F(DataBuiltins, DateReadsTheHostClockInItsZoneAndPrintsAsTheFlashPlayer) {
  Make();
  host.utcMs = 981158706000.0;  // 2001-02-03 00:05:06.000 UTC
  host.offsetMinutes = 345;
  const Value now = New("Date");
  EXPECT_EQ(Text(now), "Sat Feb 3 05:50:06 GMT+0545 2001");
  EXPECT_EQ(Number(Call(now, "getHours")), 5);
  EXPECT_EQ(Number(Call(now, "getUTCHours")), 0);
  EXPECT_EQ(Number(Call(now, "getTimezoneOffset")), -345);
  EXPECT_EQ(Number(Call(now, "getDay")), 6);
  EXPECT_EQ(Number(Call(now, "getYear")), 101);
  EXPECT_EQ(Text(vm->Call(Global("Date"), Value(), {})), "Sat Feb 3 05:50:06 GMT+0545 2001");

  // West of Greenwich the local date is still the day before.
  host.offsetMinutes = -300;
  EXPECT_EQ(Text(now), "Fri Feb 2 19:05:06 GMT-0500 2001");
  EXPECT_EQ(Number(Call(now, "getDate")), 2);
  EXPECT_EQ(Number(Call(now, "getUTCDate")), 3);

  // Fields are local: the same fields give a time the zone's offset apart.
  const Value local = New("Date", {Value(2000), Value(0), Value(1)});
  EXPECT_EQ(Number(Call(local, "getTime")), 946684800000.0 + 300 * 60000.0);
  EXPECT_EQ(Number(vm->CallMethod(Global("Date"), vm->Str("UTC"), std::vector<Value>{Value(2000), Value(0), Value(1)})),
            946684800000.0);
}

TEST_F(DataBuiltins, DateFieldsCarryAndBadTimesAreInvalid) {
  Make();
  host.offsetMinutes = 0;
  // Years 0..99 are the 1900s; month 12 is January of the next year.
  const Value carried = New("Date", {Value(99), Value(12), Value(1)});
  EXPECT_EQ(Number(Call(carried, "getFullYear")), 2000);
  EXPECT_EQ(Number(Call(carried, "getMonth")), 0);

  // 31 January moved to February goes on into March (2001 is no leap year).
  const Value date = New("Date", {Value(2001), Value(0), Value(31), Value(10), Value(20), Value(30)});
  Call(date, "setMonth", {Value(1)});
  EXPECT_EQ(Number(Call(date, "getMonth")), 2);
  EXPECT_EQ(Number(Call(date, "getDate")), 3);
  // An undefined argument ends a setter's list: only the hours change.
  Call(date, "setHours", {Value(1), Value(), Value(5)});
  EXPECT_EQ(Text(date), "Sat Mar 3 01:20:30 GMT+0000 2001");
  Call(date, "setUTCMinutes", {Value(-1)});
  EXPECT_EQ(Text(date), "Sat Mar 3 00:59:30 GMT+0000 2001");

  const Value invalid = New("Date", {Value(std::nan(""))});
  EXPECT_EQ(Text(invalid), "Invalid Date");
  EXPECT_TRUE(std::isnan(Number(Call(invalid, "getFullYear"))));
  EXPECT_TRUE(std::isnan(Number(Call(date, "setTime", {Value(8.64e15 + 1)}))));
  EXPECT_EQ(Number(Call(date, "setTime", {Value(-1.5)})), -2);  // floored
  EXPECT_EQ(Number(Call(date, "getUTCMilliseconds")), 998);
  EXPECT_EQ(Number(Call(date, "getUTCFullYear")), 1969);

  // The calendar reaches the ends of the valid range, and times beyond it (which only the
  // one-number constructor keeps) still print without a fault.
  host.offsetMinutes = 0;
  EXPECT_EQ(Text(New("Date", {Value(8.64e15)})), "Sat Sep 13 00:00:00 GMT+0000 275760");
  EXPECT_EQ(Number(Call(New("Date", {Value(-8.64e15)}), "getUTCFullYear")), -271821);
  for (const double far : {1e300, -1e300, 1.7e308, -1.7e308, 9.1e15, -4e18}) {
    const Value date = New("Date", {Value(far)});
    EXPECT_FALSE(Text(date).empty());
    for (const char* getter : {"getFullYear", "getMonth", "getDate", "getDay", "getHours", "getMilliseconds"}) {
      EXPECT_FALSE(std::isnan(Number(Call(date, getter)))) << far << " " << getter;
    }
  }

  // The methods work only on dates: the prototype and other objects answer undefined.
  const Value prototype = Get(Global("Date"), "prototype");
  EXPECT_TRUE(Call(prototype, "getTime").IsUndefined());
  const Value getTime = Get(prototype, "getTime");
  EXPECT_TRUE(vm->Call(getTime, Value(vm->NewObject()), {}).IsUndefined());
}

// A zone with daylight saving: UTC+1, and UTC+2 from 2001-03-25 01:00 UTC.
class SummerTimeHost final : public Host {
 public:
  static constexpr double kChange = 985482000000.0;
  void Trace(std::string_view) override {}
  void Unsupported(std::string_view) override {}
  double ElapsedMs() override { return 0; }
  double UtcNowMs() override { return kChange; }
  double LocalOffsetMinutes(double utcMs) override { return utcMs < kChange ? 60 : 120; }
  uint32_t RandomSeed() override { return 1; }
  int ScreenWidth() override { return 800; }
  int ScreenHeight() override { return 600; }
  std::u16string_view MovieUrl() override { return u"file:///c:/movies/a.swf"; }
  Clip* Level(int) override { return nullptr; }
  void FsCommand(std::string_view, std::string_view) override {}
};

TEST(DateZones, LocalFieldsUseTheOffsetInForceAtThatTime) {
  SummerTimeHost host;
  VmImpl vm(host, 8, Limits{});
  const Value date = vm.Global()->Get(vm, vm.Str("Date"));
  const auto make = [&](double day, double hours) {
    return vm.Construct(date, std::vector<Value>{Value(2001), Value(2), Value(day), Value(hours)});
  };
  const auto call = [&](const Value& object, const char* method) {
    return vm.ToNumber(vm.CallMethod(object, vm.Str(method), {}));
  };
  const Value winter = make(24, 12);
  const Value summer = make(26, 12);
  EXPECT_EQ(call(winter, "getUTCHours"), 11);
  EXPECT_EQ(call(summer, "getUTCHours"), 10);
  EXPECT_EQ(call(winter, "getHours"), 12);
  EXPECT_EQ(call(summer, "getHours"), 12);
  EXPECT_EQ(call(winter, "getTimezoneOffset"), -60);
  EXPECT_EQ(call(summer, "getTimezoneOffset"), -120);
  EXPECT_EQ(vm.ToString(summer)->ToUtf8(), "Mon Mar 26 12:00:00 GMT+0200 2001");
  // Moving a winter date into summer by its local day keeps its local hour.
  vm.CallMethod(winter, vm.Str("setDate"), std::vector<Value>{Value(27)});
  EXPECT_EQ(call(winter, "getHours"), 12);
  EXPECT_EQ(call(winter, "getUTCHours"), 10);
  // The movie's folder is where its shared objects live: a drive letter is no part of it.
  const Value sharedObject = vm.Global()->Get(vm, vm.Str("SharedObject"));
  const auto getLocal = [&](const char* path) {
    return vm.CallMethod(sharedObject, vm.Str("getLocal"), std::vector<Value>{Value(vm.Str("s")), Value(vm.Str(path))});
  };
  EXPECT_TRUE(getLocal("/movies").IsObject());
  EXPECT_TRUE(getLocal("/movies/a.swf").IsObject());
  EXPECT_TRUE(getLocal("/mov").IsNull());
  EXPECT_TRUE(getLocal("/c:/movies").IsNull());
}

// --- XML ---

TEST_F(DataBuiltins, XmlParsesNavigatesAndPrintsBack) {
  Make();
  const std::string source =
      "<?xml version=\"1.0\"?><!DOCTYPE a><a x=\"1\" y='&amp;&#65;'><b>t&lt;<!-- gone --></b>"
      "<![CDATA[<raw>]]><c/></a>";
  const Value doc = New("XML", {S(source)});
  EXPECT_EQ(Number(Get(doc, "status")), 0);
  EXPECT_EQ(Text(Get(doc, "xmlDecl")), "<?xml version=\"1.0\"?>");
  EXPECT_EQ(Text(Get(doc, "docTypeDecl")), "<!DOCTYPE a>");
  const Value a = Get(doc, "firstChild");
  EXPECT_EQ(Text(Get(a, "nodeName")), "a");
  EXPECT_EQ(Number(Get(a, "nodeType")), 1);
  EXPECT_EQ(Text(Get(a, "attributes.y")), "&A");
  EXPECT_EQ(Number(Get(a, "childNodes.length")), 3);
  const Value b = Get(a, "firstChild");
  EXPECT_EQ(Text(Get(b, "firstChild.nodeValue")), "t<");
  EXPECT_EQ(Number(Get(b, "firstChild.nodeType")), 3);
  EXPECT_TRUE(Get(b, "nodeValue").IsNull());
  EXPECT_EQ(Text(Get(b, "nextSibling.nodeValue")), "<raw>");
  const Value c = Get(a, "lastChild");
  EXPECT_EQ(Text(Get(c, "previousSibling.previousSibling.nodeName")), "b");
  EXPECT_TRUE(Get(c, "nextSibling").IsNull());
  EXPECT_EQ(Get(c, "parentNode").AsObject(), a.AsObject());
  EXPECT_EQ(Text(doc),
            "<?xml version=\"1.0\"?><!DOCTYPE a><a x=\"1\" y=\"&amp;A\"><b>t&lt;</b>&lt;raw&gt;<c /></a>");

  // ignoreWhite drops text of nothing but white space, on the document or its prototype.
  const Value spaced = New("XML");
  Call(spaced, "parseXML", {S("<a>\n <b> x </b> </a>")});
  EXPECT_EQ(Number(Get(spaced, "firstChild.childNodes.length")), 3);
  Set(spaced, "ignoreWhite", Value(true));
  Call(spaced, "parseXML", {S("<a>\n <b> x </b> </a>")});
  EXPECT_EQ(Number(Get(spaced, "firstChild.childNodes.length")), 1);
  EXPECT_EQ(Text(Get(spaced, "firstChild.firstChild.firstChild.nodeValue")), " x ");

  // Namespaces come from xmlns attributes further out.
  const Value ns = New("XML", {S("<r xmlns:p=\"urn:p\"><p:e/></r>")});
  const Value e = Get(ns, "firstChild.firstChild");
  EXPECT_EQ(Text(Get(e, "localName")), "e");
  EXPECT_EQ(Text(Get(e, "prefix")), "p");
  EXPECT_EQ(Text(Get(e, "namespaceURI")), "urn:p");
  EXPECT_EQ(Text(Call(e, "getPrefixForNamespace", {S("urn:p")})), "p");
}

TEST_F(DataBuiltins, XmlStatusSaysWhatWentWrongAndKeepsWhatWasRead) {
  Make();
  const struct {
    const char* text;
    int status;
  } cases[] = {
      {"<a><b></b>", -9},  {"</a>", -10},          {"<a x=\"1></a>", -8},   {"<a", -6},
      {"<!-- open", -5},   {"<![CDATA[ open", -2}, {"<?xml open", -3},      {"<!DOCTYPE open", -4},
      {"text only", 0},
  };
  for (const auto& test : cases) {
    const Value doc = New("XML", {S(test.text)});
    EXPECT_EQ(Number(Get(doc, "status")), test.status) << test.text;
  }
  const Value partial = New("XML", {S("<a><b>x</b><c>")});
  EXPECT_EQ(Text(partial), "<a><b>x</b><c /></a>");

  // Nesting past the parser's depth is refused as out of memory, without recursion.
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<d>";
  EXPECT_EQ(Number(Get(New("XML", {S(deep)}), "status")), -7);
}

// Random documents of XML's pieces: the lenient parser never faults, and what it prints of a
// document it read whole reads back to the same text.
TEST_F(DataBuiltins, XmlPrintsWhatItReadsBackToTheSameText) {
  Make();
  static constexpr const char* kPieces[] = {
      "<a",  "<b ", ">",  "/>",  "</a>", "</b>",      "x=\"1\"", "y='&lt;\\'", "'",   "\"", "&amp;",
      "&#",  ";",   "<!--", "-->", "<![CDATA[", "]]>",  "<?xml",    "?>",       "<!DOCTYPE", " ", "t", "=",
  };
  std::mt19937 random(7);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(1, 24);
  int whole = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) text += kPieces[piece(random)];
    const Value doc = New("XML", {S(text)});
    const std::string printed = Text(doc);
    if (Number(Get(doc, "status")) != 0) continue;
    ++whole;
    const Value again = New("XML", {S(printed)});
    EXPECT_EQ(Number(Get(again, "status")), 0) << text << " printed " << printed;
    EXPECT_EQ(Text(again), printed) << text;
  }
  EXPECT_GT(whole, 300);
}

TEST_F(DataBuiltins, XmlTreesAreBuiltMovedAndClonedWithoutEverContainingThemselves) {
  Make();
  const Value doc = New("XML");
  const Value list = Call(doc, "createElement", {S("list")});
  const Value one = Call(doc, "createElement", {S("one")});
  const Value two = Call(doc, "createTextNode", {S("2 & 3")});
  Call(doc, "appendChild", {list});
  Call(list, "appendChild", {two});
  Call(list, "insertBefore", {one, two});
  Set(Get(one, "attributes"), "k", S("v\""));
  EXPECT_EQ(Text(doc), "<list><one k=\"v&quot;\" />2 &amp; 3</list>");
  const Value childNodes = Get(list, "childNodes");

  // A node never goes inside itself or its descendants.
  Call(one, "appendChild", {list});
  Call(one, "appendChild", {one});
  EXPECT_EQ(Text(doc), "<list><one k=\"v&quot;\" />2 &amp; 3</list>");

  // Appending a node moves it from its parent; childNodes follows, as the same array.
  const Value other = Call(doc, "createElement", {S("other")});
  Call(other, "appendChild", {two});
  EXPECT_EQ(Text(other), "<other>2 &amp; 3</other>");
  EXPECT_EQ(Get(list, "childNodes").AsObject(), childNodes.AsObject());
  EXPECT_EQ(Number(Get(childNodes, "length")), 1);
  Call(list, "appendChild", {two});
  EXPECT_EQ(Text(other), "<other />");
  EXPECT_EQ(Get(childNodes, "1").AsObject(), two.AsObject());

  const Value copy = Call(list, "cloneNode", {Value(true)});
  Call(one, "removeNode");
  EXPECT_EQ(Text(list), "<list>2 &amp; 3</list>");
  EXPECT_EQ(Text(copy), "<list><one k=\"v&quot;\" />2 &amp; 3</list>");
  EXPECT_TRUE(Get(copy, "parentNode").IsNull());
  EXPECT_EQ(Text(Call(list, "cloneNode")), "<list />");
  EXPECT_TRUE(Call(list, "cloneNode").AsObject() != list.AsObject());

  // Methods do nothing on what is not a node.
  EXPECT_TRUE(Call(Get(Global("XMLNode"), "prototype"), "hasChildNodes").IsUndefined());
  Call(list, "appendChild", {S("<text/>")});
  EXPECT_EQ(Number(Get(list, "childNodes.length")), 1);
}

TEST_F(DataBuiltins, DeepXmlTreesPrintCloneAndCollectWithoutRecursion) {
  Make();
  const Value doc = New("XML");
  // Built from the bottom up (each new node takes the tree so far), then cloned from the top.
  constexpr int kDepth = 50000;  // far deeper than a recursive walk could go
  Value top = Call(doc, "createElement", {S("n")});
  for (int i = 1; i < kDepth; ++i) {
    const Value parent = Call(doc, "createElement", {S("n")});
    Call(parent, "appendChild", {top});
    top = parent;
  }
  Call(doc, "appendChild", {top});
  const Value copy = Call(doc, "cloneNode", {Value(true)});
  Set(Value(vm->Global()), "copy", copy);
  vm->Collect();
  const std::string printed = Text(copy);
  EXPECT_EQ(printed.size(), static_cast<size_t>(kDepth - 1) * 7 + 5);
  EXPECT_EQ(printed.substr(0, 6), "<n><n>");
  EXPECT_EQ(printed.substr(printed.size() - 8), "</n></n>");
  EXPECT_EQ(printed.find("<n />"), static_cast<size_t>(kDepth - 1) * 3);
}

// --- loading: always fails, and says so later ---

TEST_F(DataBuiltins, LoadsFailOnALaterTickThroughOnDataAndOnLoad) {
  Make();
  const Value doc = New("XML");
  Set(doc, "onLoad", Value(vm->NewNativeFunction(RecordOnLoad)));
  EXPECT_TRUE(Call(doc, "load", {S("http://example.com/a.xml")}).AsBoolean());
  EXPECT_FALSE(Get(doc, "loaded").AsBoolean());
  EXPECT_TRUE(calls.empty()) << "told before the script that loaded had ended";
  // Scripts cannot clear the built-ins' own calls.
  Call(Value(vm->Global()), "clearTimeout", {Value(-1)});
  Tick();
  EXPECT_EQ(calls, std::vector<std::string>{"onLoad(false)"});
  EXPECT_FALSE(Get(doc, "loaded").AsBoolean());
  Tick();
  EXPECT_EQ(calls.size(), 1u);
  // XML's default onData parses what arrives; null fails as undefined does.
  Call(doc, "onData", {S("<ok/>")});
  Call(doc, "onData", {Value::Null()});
  EXPECT_EQ(calls, (std::vector<std::string>{"onLoad(false)", "onLoad(true)", "onLoad(false)"}));
  EXPECT_EQ(Text(doc), "<ok />");

  // LoadVars: a replaced onData hears undefined; loading twice before the answer fails once.
  const Value vars = New("LoadVars");
  Set(vars, "onData", Value(vm->NewNativeFunction(RecordOnData)));
  Call(vars, "load", {S("vars.txt")});
  Call(vars, "load", {S("vars.txt")});
  calls.clear();
  Tick();
  EXPECT_EQ(calls, std::vector<std::string>{"onData(undefined)"});

  // sendAndLoad tells the target, through the default onData.
  const Value target = New("LoadVars");
  Set(target, "onLoad", Value(vm->NewNativeFunction(RecordOnLoad)));
  calls.clear();
  Call(New("LoadVars"), "sendAndLoad", {S("http://example.com/"), target});
  Tick();
  EXPECT_EQ(calls, std::vector<std::string>{"onLoad(false)"});
  EXPECT_EQ(Number(Call(target, "getBytesLoaded")), 0);
  EXPECT_TRUE(Get(target, "loaded").AsBoolean());  // LoadVars counts a failed load as loaded
}

TEST_F(DataBuiltins, LoadVarsDecodesAndEncodesItsVariables) {
  Make();
  const Value vars = New("LoadVars");
  Call(vars, "decode", {S("a=1&b=x%20y+z&&c&%C3%A9=%E2%82%AC")});
  EXPECT_EQ(Text(Get(vars, "a")), "1");
  EXPECT_EQ(Text(Get(vars, "b")), "x y z");
  EXPECT_EQ(Text(Get(vars, "c")), "");
  EXPECT_EQ(Text(Get(vars, "\xC3\xA9")), "\xE2\x82\xAC");
  EXPECT_EQ(Text(vars), "%C3%A9=%E2%82%AC&c=&b=x%20y%20z&a=1");
  // The default onData decodes what arrives and reports success.
  Set(vars, "onLoad", Value(vm->NewNativeFunction(RecordOnLoad)));
  Call(vars, "onData", {S("d=4")});
  EXPECT_EQ(Text(Get(vars, "d")), "4");
  EXPECT_TRUE(Get(vars, "loaded").AsBoolean());
  EXPECT_EQ(calls, std::vector<std::string>{"onLoad(true)"});
}

// --- System, getVersion, SharedObject ---

TEST_F(DataBuiltins, SystemDescribesAWindowsFlashPlayer8OnTheHostsScreen) {
  Make();
  EXPECT_EQ(Text(Call(Value(vm->Global()), "getVersion")), "WIN 8,0,22,0");
  const Value capabilities = Get(Value(vm->Global()), "System.capabilities");
  EXPECT_EQ(Text(Get(capabilities, "version")), "WIN 8,0,22,0");
  EXPECT_EQ(Text(Get(Value(vm->ObjectOf(&root)), "$version")), "WIN 8,0,22,0");
  EXPECT_EQ(Text(Get(capabilities, "os")), "Windows XP");
  EXPECT_EQ(Number(Get(capabilities, "screenResolutionX")), host.ScreenWidth());
  EXPECT_EQ(Number(Get(capabilities, "screenResolutionY")), host.ScreenHeight());
  const std::string server = Text(Get(capabilities, "serverString"));
  EXPECT_NE(server.find("&V=WIN%208%2C0%2C22%2C0&"), std::string::npos) << server;
  EXPECT_NE(server.find("&R=1024x768&"), std::string::npos) << server;
}

// BitmapData keeps pixels premultiplied (translucent colours come back as the Flash Player
// gives them), setPixel keeps a pixel's alpha, fills are clipped, and its storage is counted.
TEST_F(DataBuiltins, BitmapDataKeepsPixelsPremultipliedAndClipped) {
  Make();
  const Value bitmapData = Get(Value(vm->Global()), "flash.display.BitmapData");
  const size_t before = vm->heap.Bytes();
  const Value bitmap = vm->Construct(bitmapData, std::vector<Value>{Value(4), Value(3), Value(true), Value(0x40FF8001)});
  EXPECT_GE(vm->heap.Bytes(), before + 4 * 3 * 4);
  const auto pixel32 = [&](int x, int y) {
    return static_cast<uint32_t>(static_cast<int32_t>(Number(Call(bitmap, "getPixel32", {Value(x), Value(y)}))));
  };
  EXPECT_EQ(pixel32(0, 0), 0x40FF7F00u);  // 0x80 and 0x01 under alpha 0x40 lose their low bits
  Call(bitmap, "setPixel", {Value(1), Value(1), Value(0x00FF00)});
  EXPECT_EQ(pixel32(1, 1), 0x4000FF00u);
  Value rect = Value(vm->NewObject());
  Set(rect, "x", Value(-1));
  Set(rect, "y", Value(-1));
  Set(rect, "width", Value(3));
  Set(rect, "height", Value(3));
  Call(bitmap, "fillRect", {rect, Value(static_cast<double>(0xFF0000FFu))});
  EXPECT_EQ(pixel32(1, 1), 0xFF0000FFu);
  EXPECT_EQ(pixel32(2, 2), 0x40FF7F00u);
  EXPECT_EQ(pixel32(4, 0), 0u);
  // A copy onto itself one pixel right, through a rectangle far larger than both: clipped.
  Set(rect, "x", Value(0));
  Set(rect, "y", Value(0));
  Set(rect, "width", Value(2147483647.0));
  Set(rect, "height", Value(2147483647.0));
  Value point = Value(vm->NewObject());
  Set(point, "x", Value(1));
  Set(point, "y", Value(0));
  Call(bitmap, "copyPixels", {bitmap, rect, point});
  EXPECT_EQ(pixel32(2, 0), 0xFF0000FFu);
  EXPECT_EQ(pixel32(3, 0), 0x40FF7F00u);
  const Value opaque = vm->Construct(bitmapData, std::vector<Value>{Value(2), Value(2), Value(false), Value(0x40FF8001)});
  EXPECT_EQ(Number(Call(opaque, "getPixel32", {Value(0), Value(0)})), static_cast<int32_t>(0xFFFF8001u));
  EXPECT_TRUE(vm->Construct(bitmapData, std::vector<Value>{Value(2881), Value(1)}).IsUndefined());
  Call(bitmap, "dispose");
  EXPECT_EQ(Number(Get(bitmap, "height")), -1);
  EXPECT_EQ(Number(Call(bitmap, "getPixel", {Value(0), Value(0)})), -1);
}

TEST_F(DataBuiltins, SharedObjectsLastTheRunInMemoryWithinBounds) {
  Make();
  const Value sharedObject = Global("SharedObject");
  const Value prefs = Call(sharedObject, "getLocal", {S("prefs")});
  ASSERT_TRUE(prefs.IsObject());
  Set(Get(prefs, "data"), "score", Value(12));
  EXPECT_TRUE(Call(prefs, "flush").AsBoolean());
  const Value again = Call(sharedObject, "getLocal", {S("prefs")});
  EXPECT_EQ(again.AsObject(), prefs.AsObject());
  // The same name under a folder of the movie's path is another object.
  const Value atRoot = Call(sharedObject, "getLocal", {S("prefs"), S("/")});
  ASSERT_TRUE(atRoot.IsObject());
  EXPECT_NE(atRoot.AsObject(), prefs.AsObject());
  EXPECT_EQ(Number(Get(again, "data.score")), 12);
  EXPECT_GT(Number(Call(again, "getSize")), 0);
  Call(again, "clear");
  EXPECT_TRUE(Get(prefs, "data.score").IsUndefined());
  EXPECT_EQ(Number(Call(again, "getSize")), 0);

  EXPECT_TRUE(Call(sharedObject, "getLocal", {S("bad name")}).IsNull());
  EXPECT_TRUE(Call(sharedObject, "getLocal").IsNull());
  EXPECT_TRUE(Call(sharedObject, "getLocal", {S("")}).IsNull());
  EXPECT_TRUE(Call(sharedObject, "getLocal", {S("p"), S("/elsewhere")}).IsNull());
  EXPECT_TRUE(Call(sharedObject, "getLocal", {S(std::string(2000, 'x'))}).IsNull());
  int made = 0;
  for (int i = 0; i < 1100; ++i) made += Call(sharedObject, "getLocal", {S("n" + std::to_string(i))}).IsObject();
  EXPECT_EQ(made, 1022);  // two were made before
}

}  // namespace
}  // namespace swfplayer::avm1
