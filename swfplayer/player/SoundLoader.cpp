#include "swfplayer/player/SoundLoader.h"

#include "swfplayer/format/TagCodes.h"

namespace swfplayer::player {

using namespace format;

namespace {
// Names kept per movie: each costs a map entry, and a tag of short names could make millions.
constexpr size_t kMaxSymbolNames = 65'536;
}  // namespace

SoundLoader::SoundLoader(MovieSounds& sounds, double framesPerSecond, std::span<const uint8_t> kept,
                         std::shared_ptr<const void> keeper)
    : sounds_(sounds), framesPerSecond_(framesPerSecond), kept_(keeper ? kept : std::span<const uint8_t>{}),
      keeper_(std::move(keeper)) {}

audio::ByteRange SoundLoader::Keep(std::span<const uint8_t> bytes) {
  if (!kept_.empty() && bytes.data() >= kept_.data() && bytes.data() + bytes.size() <= kept_.data() + kept_.size()) {
    return {static_cast<uint64_t>(bytes.data() - kept_.data()), static_cast<uint32_t>(bytes.size())};
  }
  if (!kept_.empty()) return {};  // not in the kept memory: no sound (a body never holds such)
  const audio::ByteRange range{bytes_->size(), static_cast<uint32_t>(bytes.size())};
  bytes_->insert(bytes_->end(), bytes.begin(), bytes.end());
  return range;
}

bool SoundLoader::Take(const TagRecord& tag, TimelineDefinition& timeline, int frame, bool root) {
  switch (tag.code) {
    case kTagDefineSound:
      if (root) DefineSound(tag.body);
      return true;
    case kTagStartSound:
    case kTagStartSound2: {
      auto start = tag.code == kTagStartSound ? DecodeStartSound(tag.body) : DecodeStartSound2(tag.body);
      if (!start || frame >= timeline.frameCount) return true;
      if (timeline.soundStarts.size() <= static_cast<size_t>(frame)) timeline.soundStarts.resize(frame + 1);
      timeline.soundStarts[frame].push_back(std::move(*start));
      return true;
    }
    case kTagSoundStreamHead:
    case kTagSoundStreamHead2:
      StreamHead(tag.body, timeline);
      return true;
    case kTagSoundStreamBlock:
      // One block per frame: a second in the same frame is left out.
      if (timeline.stream && frame < timeline.frameCount) {
        auto& blocks = timeline.stream->blocks;
        if (blocks.size() <= static_cast<size_t>(frame)) blocks.resize(frame + 1);
        if (blocks[frame].Empty()) blocks[frame] = Keep(tag.body);
      }
      return true;
    case kTagExportAssets:
    case kTagSymbolClass:
      if (root) {
        for (auto& [id, name] : DecodeNamedSymbols(tag.body)) {
          if (sounds_.names.size() < kMaxSymbolNames) sounds_.names.emplace(std::move(name), id);
        }
      }
      return true;
    default:
      return false;
  }
}

void SoundLoader::Reserve(std::span<const uint8_t> rootTags) {
  if (!kept_.empty()) return;
  size_t total = 0;
  TagStream stream(rootTags);
  TagRecord tag;
  while (stream.Next(tag)) {
    if (tag.code == kTagDefineSound || tag.code == kTagSoundStreamBlock) total += tag.body.size();
  }
  bytes_->reserve(total);
}

void SoundLoader::DefineSound(std::span<const uint8_t> body) {
  const auto sound = DecodeDefineSound(body);
  if (!sound || sounds_.events.count(sound->id)) return;
  audio::EventSound event;
  event.format = sound->format;
  event.sampleCount = sound->sampleCount;
  event.data = Keep(sound->data);
  sounds_.events.emplace(sound->id, std::move(event));
}

void SoundLoader::StreamHead(std::span<const uint8_t> body, TimelineDefinition& timeline) {
  const auto head = DecodeSoundStreamHead(body);
  if (!head || timeline.stream) return;
  timeline.stream = std::make_shared<audio::StreamSound>();
  timeline.stream->head = *head;
  timeline.stream->framesPerSecond = framesPerSecond_;
  streams_.push_back(timeline.stream);
}

void SoundLoader::Finish() {
  bytes_->shrink_to_fit();
  auto store = std::make_shared<audio::SoundStore>();
  if (!kept_.empty()) {
    store->bytes = kept_;
    store->keeper = keeper_;
  } else {
    store->bytes = *bytes_;
    store->keeper = bytes_;
  }
  for (auto& [id, sound] : sounds_.events) sound.store = store;
  for (auto& stream : streams_) stream->store = store;
}

}  // namespace swfplayer::player
