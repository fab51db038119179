#include "swfplayer/player/MovieLoader.h"

#include <algorithm>

#include "swfplayer/format/Bitmaps.h"
#include "swfplayer/format/EditText.h"
#include "swfplayer/format/Font.h"
#include "swfplayer/format/ClipActions.h"
#include "swfplayer/format/Reader.h"
#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Sprite.h"
#include "swfplayer/format/TagCodes.h"
#include "swfplayer/movie/TagStream.h"
#include "swfplayer/player/CharacterBuild.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/SoundLoader.h"

namespace swfplayer::player {
namespace {

using namespace format;

class Loader {
 public:
  Loader(MovieDefinition& movie, image::ImageDecoder& decoder, const AnsiDecoder* ansi,
         std::span<const uint8_t> kept, std::shared_ptr<const void> keeper)
      : movie_(movie), decoder_(decoder), ansi_(ansi),
        sounds_(movie.sounds, FramesPerSecond(movie.header), kept, std::move(keeper)) {}

  void ReadRoot(std::span<const uint8_t> tags) {
    movie_.root.frameCount = std::max<int>(1, movie_.header.frameCount);
    movie_.root.byteLength = movie_.header.declaredLength;
    sounds_.Reserve(tags);
    ReadTimeline(tags, movie_.root, /*root=*/true);
    CompleteTexts();
    sounds_.Finish();
  }

 private:
  // The root stream holds definitions and control tags; a sprite's only control tags.
  void ReadTimeline(std::span<const uint8_t> tags, TimelineDefinition& timeline, bool root) {
    ReadFrames(tags, timeline, root);
    timeline.frameCount = std::max(timeline.frameCount, static_cast<int>(timeline.frames.size()));
  }

  void ReadFrames(std::span<const uint8_t> tags, TimelineDefinition& timeline, bool root) {
    TagStream stream(tags);
    TagRecord tag;
    std::vector<FrameItem> frame;
    auto frameIndex = [&] { return static_cast<int>(timeline.frames.size()); };
    auto endFrame = [&] {
      // The Flash Player plays every frame the file holds, also past a header's count that is
      // too low; a frame's number is 16 bits, as the header's count is.
      if (frameIndex() < kMaxFrames) timeline.frames.push_back(std::move(frame));
      frame.clear();
    };
    while (stream.Next(tag) && tag.code != kTagEnd) {
      switch (tag.code) {
        case kTagShowFrame:
          endFrame();
          break;
        case kTagPlaceObject:
        case kTagPlaceObject2:
        case kTagPlaceObject3: {
          const int version = tag.code == kTagPlaceObject ? 1 : tag.code == kTagPlaceObject2 ? 2 : 3;
          if (auto place = DecodePlaceObject(tag.body, version)) AddControl(frame, MakePlacement(*place, tag.body));
          break;
        }
        case kTagRemoveObject:
        case kTagRemoveObject2:
          if (auto remove = DecodeRemoveObject(tag.body, tag.code == kTagRemoveObject ? 1 : 2)) {
            AddControl(frame, *remove);
          }
          break;
        case kTagFrameLabel:
          if (auto label = DecodeFrameLabel(tag.body)) timeline.labels.emplace_back(Text(*label), frameIndex());
          break;
        case kTagDoAction:
          AddControl(frame, FrameScript{MakeScript(tag.body)});
          break;
        case kTagDoInitAction:
          // Only the root's frames hold them; the sprite's id comes first.
          if (root && tag.body.size() >= 2) {
            AddControl(frame, InitScript{static_cast<uint16_t>(tag.body[0] | tag.body[1] << 8),
                                         MakeScript(tag.body.subspan(2))});
          }
          break;
        default:
          // Export names serve attachMovie here and attachSound in the sound loader.
          if (tag.code == kTagExportAssets && root) ReadExports(tag.body);
          if (sounds_.Take(tag, timeline, frameIndex(), root)) break;
          if (root) ReadDefinition(tag);
          break;
      }
    }
    // Tags after the last ShowFrame still belong to a frame the header counts.
    if (!frame.empty()) endFrame();
  }

  std::u16string Text(std::string_view bytes) const {
    if (movie_.header.version >= 6) return DecodeUtf8(bytes);
    if (ansi_) return ansi_->Decode(bytes);
    return std::u16string(bytes.begin(), bytes.end());  // each byte one character
  }

  const AnsiDecoder& Ansi() const { return ansi_ ? *ansi_ : Latin1Ansi(); }

  static Script MakeScript(std::span<const uint8_t> actions) {
    auto code = std::make_shared<ScriptCode>();
    code->bytes.assign(actions.begin(), actions.end());
    return code;
  }

  Placement MakePlacement(const PlaceObject& tag, std::span<const uint8_t> body) {
    Placement placement;
    placement.tag = tag;
    if (tag.name) placement.name = Text(*tag.name);
    if (tag.clipActionsSize > 0) {
      auto actions = std::make_shared<std::vector<ClipAction>>();
      const auto data = body.subspan(tag.clipActionsOffset, tag.clipActionsSize);
      for (const ClipActionRecord& record : DecodeClipActions(data, movie_.header.version)) {
        actions->push_back({record.events, record.keyCode, MakeScript(record.actions)});
      }
      if (!actions->empty()) placement.clipActions = std::move(actions);
    }
    return placement;
  }

  void ReadExports(std::span<const uint8_t> body) {
    Reader in(body);
    const uint16_t count = in.U16();
    for (uint16_t i = 0; i < count && in.Ok(); ++i) {
      const uint16_t id = in.U16();
      const std::string name = in.String();
      if (!in.Ok()) break;
      const std::u16string text = Text(name);
      movie_.exports.try_emplace(text, id);
      movie_.exportNames.try_emplace(id, text);
    }
  }

  void AddControl(std::vector<FrameItem>& frame, FrameItem tag) {
    if (controlTagsLeft_ == 0) return;
    --controlTagsLeft_;
    frame.push_back(std::move(tag));
  }

  void ReadDefinition(const TagRecord& tag) {
    switch (tag.code) {
      case kTagFileAttributes:
        if (!tag.body.empty()) movie_.useNetwork = (tag.body[0] & 1) != 0;
        break;
      case kTagSetBackgroundColor:
        if (!movie_.header.backgroundColor) movie_.header.backgroundColor = ReadBackgroundColor(tag.body);
        break;
      case kTagDefineShape: DefineShape(tag.body, 1); break;
      case kTagDefineShape2: DefineShape(tag.body, 2); break;
      case kTagDefineShape3: DefineShape(tag.body, 3); break;
      case kTagDefineShape4: DefineShape(tag.body, 4); break;
      case kTagDefineSprite: DefineSprite(tag.body); break;
      case kTagDefineFont: DefineFont(tag.body, 1); break;
      case kTagDefineFont2: DefineFont(tag.body, 2); break;
      case kTagDefineFont3: DefineFont(tag.body, 3); break;
      case kTagDefineFontInfo: DefineFontInfo(tag.body, 1); break;
      case kTagDefineFontInfo2: DefineFontInfo(tag.body, 2); break;
      case kTagDefineEditText: DefineEditText(tag.body); break;
      case kTagDefineText: DefineText(tag.body, 1); break;
      case kTagDefineText2: DefineText(tag.body, 2); break;
      case kTagDefineMorphShape: DefineMorph(tag.body, 1); break;
      case kTagDefineMorphShape2: DefineMorph(tag.body, 2); break;
      case kTagDefineButton: DefineButton(tag.body, 1); break;
      case kTagDefineButton2: DefineButton(tag.body, 2); break;
      case kTagJpegTables:
        if (jpegTables_.empty()) jpegTables_.assign(tag.body.begin(), tag.body.end());
        break;
      case kTagDefineBits: DefineBitmap(DecodeJpegTag(tag.body, 1, jpegTables_, decoder_, bitmapBudget_)); break;
      case kTagDefineBitsJpeg2: DefineBitmap(DecodeJpegTag(tag.body, 2, {}, decoder_, bitmapBudget_)); break;
      case kTagDefineBitsJpeg3: DefineBitmap(DecodeJpegTag(tag.body, 3, {}, decoder_, bitmapBudget_)); break;
      case kTagDefineBitsLossless: DefineBitmap(DecodeLossless(tag.body, 1, bitmapBudget_)); break;
      case kTagDefineBitsLossless2: DefineBitmap(DecodeLossless(tag.body, 2, bitmapBudget_)); break;
      default: break;  // not (yet) played: skipped by its length
    }
  }

  void DefineBitmap(std::optional<DecodedBitmap> decoded) {
    if (!decoded) return;
    movie_.dictionary.Define(
        decoded->id, BitmapCharacter{std::make_shared<const Bitmap>(std::move(decoded->bitmap))});
  }

  void DefineSprite(std::span<const uint8_t> body) {
    const auto header = DecodeSpriteHeader(body);
    if (!header) return;
    SpriteCharacter sprite;
    sprite.timeline.byteLength = static_cast<uint32_t>(body.size());
    sprite.timeline.frameCount = std::max<int>(1, header->frameCount);
    ReadTimeline(header->tags, sprite.timeline, /*root=*/false);
    movie_.dictionary.Define(header->id, std::move(sprite));
  }

  void DefineShape(std::span<const uint8_t> body, int version) {
    const auto decoded = DecodeShape(body, version);
    if (!decoded) return;
    movie_.dictionary.Define(decoded->id, BuildShapeCharacter(*decoded, BitmapFinder(), pathPointBudget_));
  }

  void DefineFont(std::span<const uint8_t> body, int version) {
    auto decoded = DecodeFont(body, version);
    if (!decoded || movie_.dictionary.Find(decoded->id)) return;
    FontCharacter font = BuildFont(*decoded, Version(), Ansi(), pathPointBudget_);
    if (version >= 2) {
      movie_.fonts.Add(font.name, font.layout);
    } else {
      // Its codes and name come with a DefineFontInfo.
      decoded->glyphs.clear();
      waitingForInfo_.emplace(decoded->id, std::move(*decoded));
    }
    movie_.dictionary.Define(decoded->id, std::move(font));
  }

  void DefineFontInfo(std::span<const uint8_t> body, int version) {
    const auto info = DecodeFontInfo(body, version);
    if (!info) return;
    const auto waiting = waitingForInfo_.find(info->fontId);
    const Character* found = movie_.dictionary.Find(info->fontId);
    const auto* font = found ? std::get_if<FontCharacter>(found) : nullptr;
    if (waiting == waitingForInfo_.end() || !font) return;
    FontCharacter completed = CompleteFont(*font, std::move(waiting->second), *info, Version(), Ansi());
    waitingForInfo_.erase(waiting);
    movie_.fonts.Add(completed.name, completed.layout);
    movie_.dictionary.Redefine(info->fontId, std::move(completed));
  }

  void DefineEditText(std::span<const uint8_t> body) {
    auto decoded = DecodeEditText(body);
    if (!decoded) return;
    const uint16_t id = decoded->id;
    movie_.dictionary.Define(id, BuildEditText(std::move(*decoded), movie_.dictionary, Version(), Ansi()));
  }

  uint8_t Version() const { return movie_.header.version; }

  void DefineText(std::span<const uint8_t> body, int version) {
    auto decoded = DecodeText(body, version);
    if (!decoded || movie_.dictionary.Find(decoded->id)) return;
    movie_.dictionary.Define(decoded->id, BuildText(*decoded, movie_.dictionary, pathPointBudget_));
    if (NamesFontsToCome(*decoded)) textsToComplete_.push_back(std::move(*decoded));
  }

  // A text may name a font the movie defines after it (or a DefineFont whose info comes
  // later): the Flash Player finds it when the text is shown.
  bool NamesFontsToCome(const TextDefinition& text) const {
    return std::any_of(text.records.begin(), text.records.end(), [&](const TextRecord& record) {
      if (!record.fontId) return false;
      const Character* found = movie_.dictionary.Find(*record.fontId);
      return !found || waitingForInfo_.count(*record.fontId) > 0;
    });
  }

  // Such texts are made again once every definition is read.
  void CompleteTexts() {
    for (const TextDefinition& text : textsToComplete_) {
      movie_.dictionary.Redefine(text.id, BuildText(text, movie_.dictionary, pathPointBudget_));
    }
    textsToComplete_.clear();
  }

  void DefineMorph(std::span<const uint8_t> body, int version) {
    auto decoded = DecodeMorphShape(body, version);
    if (!decoded) return;
    const uint16_t id = decoded->id;
    if (auto morph = BuildMorph(std::move(*decoded), BitmapFinder(), pathPointBudget_)) {
      movie_.dictionary.Define(id, std::move(*morph));
    }
  }

  void DefineButton(std::span<const uint8_t> body, int version) {
    const auto decoded = DecodeButton(body, version);
    if (decoded) movie_.dictionary.Define(decoded->id, BuildButton(*decoded, controlTagsLeft_));
  }

  BitmapLookup BitmapFinder() const {
    return [this](uint16_t id) -> std::shared_ptr<const Bitmap> {
      const Character* character = movie_.dictionary.Find(id);
      const auto* bitmap = character ? std::get_if<BitmapCharacter>(character) : nullptr;
      return bitmap ? bitmap->bitmap : nullptr;
    };
  }

  // A stream's block lasts one frame: at the rate the control plays (a rate of 0 is 1 fps).
  static double FramesPerSecond(const SwfMovie& header) {
    return header.frameRate == 0 ? 1.0 : header.frameRate / 256.0;
  }

  MovieDefinition& movie_;
  image::ImageDecoder& decoder_;
  const AnsiDecoder* ansi_;
  SoundLoader sounds_;
  std::map<uint16_t, FontDefinition> waitingForInfo_;  // DefineFonts without their info yet
  std::vector<TextDefinition> textsToComplete_;  // texts that name fonts defined after them
  std::vector<uint8_t> jpegTables_;
  size_t controlTagsLeft_ = kMaxControlTags;
  size_t bitmapBudget_ = kMaxMovieBitmapBytes;
  size_t pathPointBudget_ = kMaxMoviePathPoints;
};

}  // namespace

MovieLoad LoadMovieDefinition(std::span<const uint8_t> file, image::ImageDecoder& decoder,
                              const AnsiDecoder* ansi, std::shared_ptr<const void> keeper) {
  const MovieBody body = ReadMovieBody(file);
  if (!body.ok()) return {body.error, nullptr};
  auto movie = std::make_unique<MovieDefinition>();
  movie->header = body.movie;
  // Only an uncompressed body lies in the file; a decompressed one goes once loaded.
  const bool inFile = body.movie.compression == SwfCompression::kNone && keeper;
  Loader(*movie, decoder, ansi, inFile ? body.body : std::span<const uint8_t>{},
         inFile ? std::move(keeper) : nullptr)
      .ReadRoot(body.Tags());
  return {MovieError::kNone, std::move(movie)};
}

}  // namespace swfplayer::player
