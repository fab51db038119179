// What the play state of one movie shares, and the order a tick runs in, as the Flash Player 8
// runs ActionScript 1 and 2 movies:
//
// 1. Every movie clip runs its turn, in one list of all clips, the most recently made first
//    (a clip made during the tick waits for the next one): first its clip event (load the
//    first time, enterFrame after), then, if it plays, its next frame.
// 2. A frame's tags are carried out in their order: placements and removals at once, where a
//    new clip is constructed and enters its own first frame on the spot; its scripts (DoAction,
//    DoInitAction) are queued.
// 3. The queued scripts run, initialisation first (DoInitAction and initialize clip events),
//    then constructors (registered classes and construct clip events), then everything else in
//    the order queued: clip event actions, then the clip's method of the same name
//    (onEnterFrame, onLoad, onUnload), and frame scripts. Scripts queue more as they run (a
//    goto's frame), and those run in the same pass. A clip removed before its turn comes runs
//    nothing, except its unload events.
// 4. Intervals and timeouts that are due run; objects removed during the tick are freed; the
//    script engine may collect what scripts no longer reach.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/player/Characters.h"
#include "swfplayer/text/DeviceFonts.h"

namespace swfplayer::player {

class DisplayObject;
class ScriptEngine;
class SoundScheduler;

// The clip events of CLIPEVENTFLAGS (as a little-endian 32-bit word) that a saver can see: no
// pointer and no keys reach a movie here.
enum ClipEventFlag : uint32_t {
  kClipEventUnload = 0x04,
  kClipEventEnterFrame = 0x02,
  kClipEventLoad = 0x01,
  kClipEventInitialize = 0x0200,
  kClipEventData = 0x0100,
  kClipEventConstruct = 0x040000,
};

enum class ClipEvent : uint8_t { kLoad, kEnterFrame, kUnload };

class PlayContext {
 public:
  PlayContext(const MovieDefinition& movie, ScriptEngine* scripts);
  ~PlayContext();

  const MovieDefinition& movie;
  const Dictionary& dictionary;
  ScriptEngine* const scripts;  // null: no script runs
  const bool caseSensitiveNames;  // SWF 7 and later
  std::u16string movieUrl;  // what _url answers
  SoundScheduler* sound = nullptr;  // told of every frame entered and timeline gone; null: none
  // Text fields' fonts: the system's, and the movie's embedded ones (null: none).
  text::DeviceFonts* deviceFonts = nullptr;
  const text::EmbeddedFonts* embeddedFonts = nullptr;

  size_t displayObjects = 0;  // on every display list together, kept under kMaxDisplayObjects
  uint64_t nextSerial = 1;
  size_t tagBudget = 0;  // control tags and frames left for this tick (kMaxTagsPerTick)

  // --- the tick ---
  void BeginTick();
  // Every clip's turn (step 1), then the queued scripts.
  void RunClips();
  // Runs queued scripts until none is left (step 3).
  void RunQueuedScripts();
  // Frees the objects removed during the tick (step 4).
  void FreeRemoved();

  // --- what timelines report ---
  // A clip (a sprite, a button, the root) was made: it joins the clips' list, is constructed
  // and enters its first frame. exportName: the name it was attached by, if any.
  // byScript: made by a script, whose engine constructs it itself.
  void ClipMade(DisplayObject& clip, bool byScript = false);
  // An object left its display list: it and everything on it are removed, their unload events
  // queued, and it is freed when the tick ends.
  void Bury(std::unique_ptr<DisplayObject> object);
  void QueueFrameScript(DisplayObject& clip, const Script& script);
  void QueueInitScript(DisplayObject& clip, const InitScript& init);
  void DispatchEvent(DisplayObject& clip, ClipEvent event);
  static bool HasActionsFor(const DisplayObject& clip, uint32_t event);
  void Unlink(DisplayObject& clip);

  // --- text fields (ScriptTextFields.cpp) ---
  // A field was made: it joins the fields kept in step with their variables, and a bound one
  // shows its variable's value (or gives it its text when the variable is not defined).
  void TextFieldMade(DisplayObject& field);
  void TextFieldGone(DisplayObject& field);
  // Every bound field shows its variable's value as it is now (once a tick, before drawing).
  void SyncTextFields();

 private:
  enum class Job : uint8_t { kFrameScript, kInitScript, kClipEvent, kMethod, kConstruct };
  struct Queued {
    DisplayObject* clip = nullptr;
    Job job = Job::kFrameScript;
    Script script;
    const char16_t* method = nullptr;
    bool unload = false;
  };
  static constexpr int kPriorities = 3;  // 2: initialisation, 1: construction, 0: the rest
  void Queue(int priority, Queued queued);
  void Run(const Queued& queued);
  void RemoveTree(DisplayObject& object);
  void SyncTextField(DisplayObject& field, bool placed);

  DisplayObject* execHead_ = nullptr;
  std::array<std::deque<Queued>, kPriorities> queue_;
  std::vector<std::unique_ptr<DisplayObject>> removed_;
  std::set<uint16_t> initScriptsRun_;
  std::set<DisplayObject*> textFields_;
};

}  // namespace swfplayer::player
