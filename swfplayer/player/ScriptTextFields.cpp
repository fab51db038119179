// Text fields as display objects: made from a DefineEditText or by a script
// (createTextField), and their variables kept in step with what they show.
#include <algorithm>
#include <cmath>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/PlayContext.h"
#include "swfplayer/player/ScriptEngine.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

// The depths scripts may make objects at (as ScriptClips.cpp bounds them).
constexpr int64_t kMaxDepth = 2'130'706'428;

double Twips(double pixels) { return std::isfinite(pixels) ? std::clamp(pixels, -1e7, 1e7) * 20 : 0; }

}  // namespace

void DisplayObject::MakeTextField(const EditTextCharacter& character) {
  editText_ = std::make_unique<EditTextInstance>(character, context_->deviceFonts, context_->embeddedFonts);
  context_->TextFieldMade(*this);
}

avm1::Clip* DisplayObject::CreateTextField(std::u16string_view name, int32_t depth, double x, double y,
                                           double width, double height) {
  const int64_t at = int64_t{depth} + kScriptDepthOffset;
  if (at < 0 || at > kMaxDepth || !timeline_ || removed_) return nullptr;
  const Matrix place = Matrix::Translate(Twips(x), Twips(y));
  DisplayObject* made = timeline_->AddScriptChild(static_cast<int32_t>(at), 0, std::u16string(name), nullptr,
                                                  &place, nullptr);
  if (made) made->MakeTextField(ScriptTextField(width, height, context_->movie.header.version));
  return made;
}


void PlayContext::TextFieldMade(DisplayObject& field) {
  textFields_.insert(&field);
  SyncTextField(field, /*placed=*/true);
}

void PlayContext::TextFieldGone(DisplayObject& field) { textFields_.erase(&field); }

// A bound field shows its variable's value once the variable changes (TextField::BoundValue);
// a variable that is not defined when the field is placed takes the field's text, if it has
// any.
void PlayContext::SyncTextField(DisplayObject& field, bool placed) {
  EditTextInstance* text = field.EditText();
  DisplayObject* timeline = field.ParentObject();
  if (!scripts || !text || !timeline || field.Removed()) return;
  const std::u16string name = text->VariableName();
  if (name.empty()) return;
  if (auto value = scripts->ReadVariable(*timeline, name)) {
    if (value != text->BoundValue()) {
      text->SetText(*value, /*html=*/true);
      text->SetBoundValue(std::move(value));
    }
  } else if (placed && !text->Text().empty()) {
    scripts->WriteVariable(*timeline, name, text->Text());
    text->SetBoundValue(scripts->ReadVariable(*timeline, name));
  }
}

void PlayContext::SyncTextFields() {
  // A variable's toString may run script that removes fields: walk a copy.
  const std::vector<DisplayObject*> fields(textFields_.begin(), textFields_.end());
  for (DisplayObject* field : fields) {
    if (textFields_.count(field)) SyncTextField(*field, /*placed=*/false);
  }
}

}  // namespace swfplayer::player
