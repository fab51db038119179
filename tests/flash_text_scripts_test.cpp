// Text fields from scripts through the player and the interpreter: a field bound to a variable
// shows the variable (at once when a script reads the text, and once a tick otherwise) and
// writes a script's text back; a variable that is undefined when the field is placed takes
// the field's text; createTextField makes a field scripts reach by name.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/avm1/TextField.h"
#include "swfplayer/player/DisplayObject.h"
#include "tools/SwfFields.h"

namespace swfplayer::player {
namespace {

using tools::SwfActions;
using tools::SwfMovieBuilder;
using tools::SwfPlace;

constexpr uint16_t kField = 700;

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A field in the default device font bound to variable, with its initial text.
std::vector<uint8_t> BoundField(const std::string& variable, const std::string& text) {
  std::vector<uint8_t> body;
  PutU16(body, kField);
  swfsaver::tools::detail::PutRect(body, 0, 2000, 0, 400);
  body.push_back(text.empty() ? 0x00 : 0x80);  // has text
  body.push_back(0x00);
  swfsaver::tools::detail::PutString(body, variable);
  if (!text.empty()) swfsaver::tools::detail::PutString(body, text);
  return body;
}

SwfActions& Trace(SwfActions& a) { return a.Code(0x26); }
SwfActions& GetVariable(SwfActions& a, const std::string& name) { return a.PushString(name).Code(0x1C); }
SwfActions& GetMember(SwfActions& a, const std::string& object, const std::string& member) {
  return GetVariable(a, object).PushString(member).Code(0x4E);
}
SwfActions& SetMember(SwfActions& a, const std::string& object, const std::string& member, const std::string& value) {
  return GetVariable(a, object).PushString(member).PushString(value).Code(0x4F);
}
SwfActions& SetVariable(SwfActions& a, const std::string& name, const std::string& value) {
  return a.PushString(name).PushString(value).Code(0x1D);
}

struct Run {
  std::unique_ptr<Player> player;
  std::shared_ptr<tools::FixedHost> host;
};

Run Play(const std::string& variable, const std::string& text, const SwfActions& first, const SwfActions& second) {
  SwfMovieBuilder movie;
  movie.Tag(37, BoundField(variable, text));
  SwfPlace place;
  place.character = kField;
  place.name = "tf";
  movie.Place(place);
  movie.DoAction(first);
  movie.ShowFrame();
  movie.DoAction(second);
  movie.ShowFrame();
  Run run;
  run.player = testing::LoadBytes(movie.Finish({}, std::nullopt), &run.host);
  return run;
}

std::u16string FieldText(Player& player, std::u16string_view name) {
  avm1::Clip* clip = player.RootClip().ChildByName(name, true);
  avm1::TextField* field = clip ? clip->AsTextField() : nullptr;
  return field ? field->Text() : u"<none>";
}

TEST(FlashTextScripts, ABoundFieldAndItsVariableFollowEachOther) {
  SwfActions first;
  Trace(GetVariable(first, "v"));                   // the field gave it its text
  SetVariable(first, "v", "changed");
  Trace(GetMember(first, "tf", "text"));            // read at once
  SetMember(first, "tf", "text", "typed");
  Trace(GetVariable(first, "v"));                   // written back
  SwfActions second;
  SetVariable(second, "v", "later");
  auto run = Play("v", "start", first, second);
  ASSERT_TRUE(run.player);
  EXPECT_EQ(run.host->traces, (std::vector<std::string>{"start", "changed", "typed"}));
  run.player->Advance();
  EXPECT_EQ(FieldText(*run.player, u"tf"), u"later");  // shown after the tick, unread by scripts
}

TEST(FlashTextScripts, AnEmptyFieldLeavesItsVariableUndefinedAndPathsReachOtherTimelines) {
  SwfActions first;
  Trace(GetVariable(first, "_root.w").Code(0x44));  // typeof
  SetVariable(first, "_root.w", "through a path");
  auto run = Play("_root.w", "", first, SwfActions());
  ASSERT_TRUE(run.player);
  EXPECT_EQ(run.host->traces, (std::vector<std::string>{"undefined"}));
  EXPECT_EQ(FieldText(*run.player, u"tf"), u"through a path");
}

TEST(FlashTextScripts, CreateTextFieldMakesAFieldAtItsPositionAndDepth) {
  SwfActions first;
  // _root.createTextField("made", 5, 10, 20, 100, 30)
  first.PushInteger(30).PushInteger(100).PushInteger(20).PushInteger(10).PushInteger(5).PushString("made");
  first.PushInteger(6).PushString("_root").Code(0x1C).PushString("createTextField").Code(0x52).Code(0x17);
  SetMember(first, "made", "text", "hello");
  Trace(GetMember(first, "made", "_x"));
  GetVariable(first.PushInteger(0), "made").PushString("getDepth").Code(0x52);
  Trace(first);
  Trace(GetMember(first, "made", "length"));
  auto run = Play("", "", first, SwfActions());
  ASSERT_TRUE(run.player);
  EXPECT_EQ(run.host->traces, (std::vector<std::string>{"10", "5", "5"}));
  EXPECT_EQ(FieldText(*run.player, u"made"), u"hello");
}

}  // namespace
}  // namespace swfplayer::player
