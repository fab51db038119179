// Array.prototype.sort and sortOn as the Flash Player has them. Its sort is a quicksort that
// takes the first element of each range as the pivot; it is not stable, and which of equal
// elements comes first (and which a compare function is asked about, in what order) follows
// from that algorithm, so it is followed exactly, up to a depth past which the quicksort has
// met its worst case (see Sort). Ranges are kept on a list rather than in recursion.
//
// Keys are made once per element, not in every comparison: an element's string form (the
// default order compares strings), and for sortOn the fields of each element (read as own
// properties, without running getters, as the Flash Player reads them).
#include "swfplayer/avm1/builtins/ArraySort.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/ArrayAccess.h"
#include "swfplayer/avm1/builtins/CaseMapping.h"

namespace swfplayer::avm1 {

namespace {

using namespace sort_flags;

// Comparisons between checks of the script time budget (a sort of a huge array must still
// stop when the tick's time is spent).
constexpr uint32_t kComparisonsPerCheck = 1 << 16;

// A value as the default comparison sees it: the value, and its string form once needed.
struct SortKey {
  Value value;
  String* text = nullptr;
};

int Sign(double difference) { return difference > 0 ? 1 : difference < 0 ? -1 : 0; }

int CompareFolded(const String& a, const String& b) {
  const size_t length = std::min(a.Length(), b.Length());
  for (size_t i = 0; i < length; ++i) {
    const char16_t x = FlashToLower(a.At(i));
    const char16_t y = FlashToLower(b.At(i));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.Length() < b.Length() ? -1 : a.Length() > b.Length() ? 1 : 0;
}

class Sorter {
 public:
  Sorter(VmImpl& vm, std::vector<Value> values) : vm_(vm) {
    keys_.reserve(values.size());
    for (const Value& value : values) keys_.push_back(SortKey{value});
  }

  size_t Count() const { return keys_.size(); }
  void Trace(Tracer& tracer) const {
    for (const SortKey& key : keys_) {
      tracer.Mark(key.value);
      tracer.Mark(key.text);
    }
    for (const auto& keys : fieldKeys_) {
      for (const SortKey& key : keys) {
        tracer.Mark(key.value);
        tracer.Mark(key.text);
      }
    }
    for (const auto& field : fields_) tracer.Mark(field.first);
  }
  const Value& ValueAt(uint32_t i) const { return keys_[i].value; }

  // Compares with a script function, called through roots (which let the collector run).
  void UseFunction(const Value& function, NativeRoots& roots) {
    function_ = function;
    roots_ = &roots;
    custom_ = true;
  }
  // sortOn: the fields in order of precedence, each with its flags.
  void UseFields(std::vector<std::pair<String*, int32_t>> fields) {
    fields_ = std::move(fields);
    fieldKeys_.resize(fields_.size());
  }
  void SetFlags(int32_t flags) { flags_ = flags; }

  // The elements' indexes in sorted order.
  std::vector<uint32_t> Sort() {
    std::vector<uint32_t> order(keys_.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    // Past this depth the quicksort has met its worst case (an array already sorted, or all
    // equal): the rest of that range is merge-sorted, which keeps the order of the result but
    // for equal elements and takes n log n comparisons rather than n squared.
    uint32_t deepest = 16;
    for (size_t n = order.size(); n > 1; n /= 2) deepest += 2;
    struct Range {
      size_t begin;
      size_t end;
      uint32_t depth;
    };
    std::vector<Range> ranges{{0, order.size(), 0}};
    while (!ranges.empty()) {
      const auto [begin, end, depth] = ranges.back();
      ranges.pop_back();
      const size_t count = end - begin;
      if (count < 2) continue;
      if (count == 2) {
        if (Compare(order[begin], order[begin + 1]) > 0) std::swap(order[begin], order[begin + 1]);
        continue;
      }
      if (depth >= deepest) {
        MergeSort(order, begin, end);
        continue;
      }
      const uint32_t pivot = order[begin];
      size_t left = begin + 1;
      size_t right = end - 1;
      for (;;) {
        while (left < end - 1 && Compare(pivot, order[left]) > 0) ++left;
        while (right > begin && Compare(pivot, order[right]) <= 0) --right;
        if (left >= right) break;
        std::swap(order[left], order[right]);
      }
      std::swap(order[begin], order[right]);
      // The lower part is sorted first, as a recursion would.
      ranges.push_back({right + 1, end, depth + 1});
      ranges.push_back({begin, right, depth + 1});
    }
    return order;
  }

  // Whether two neighbours of the sorted order are equal (UNIQUESORT): by the fields for
  // sortOn, else by the default comparison even when a compare function sorted.
  bool HasEqualNeighbours(const std::vector<uint32_t>& order) {
    custom_ = false;
    for (size_t i = 1; i < order.size(); ++i) {
      if (Compare(order[i - 1], order[i]) == 0) return true;
    }
    return false;
  }

 private:
  // Bottom-up, so that no comparison function, however inconsistent, can make it read out of
  // the range.
  void MergeSort(std::vector<uint32_t>& order, size_t begin, size_t end) {
    std::vector<uint32_t> from(order.begin() + static_cast<ptrdiff_t>(begin), order.begin() + static_cast<ptrdiff_t>(end));
    std::vector<uint32_t> to(from.size());
    for (size_t width = 1; width < from.size(); width *= 2) {
      for (size_t low = 0; low < from.size(); low += 2 * width) {
        const size_t middle = std::min(low + width, from.size());
        const size_t high = std::min(low + 2 * width, from.size());
        size_t a = low;
        size_t b = middle;
        size_t out = low;
        while (a < middle && b < high) to[out++] = Compare(from[a], from[b]) <= 0 ? from[a++] : from[b++];
        while (a < middle) to[out++] = from[a++];
        while (b < high) to[out++] = from[b++];
      }
      from.swap(to);
    }
    std::copy(from.begin(), from.end(), order.begin() + static_cast<ptrdiff_t>(begin));
  }

  int Compare(uint32_t a, uint32_t b) {
    if (++comparisons_ % kComparisonsPerCheck == 0) vm_.CheckBudget();
    if (custom_) {
      const Value args[] = {keys_[a].value, keys_[b].value};
      return Sign(vm_.ToNumber(roots_->Call(function_, args)));
    }
    if (!fields_.empty() && keys_[a].value.IsObject() && keys_[b].value.IsObject()) {
      for (size_t field = 0; field < fields_.size(); ++field) {
        std::vector<SortKey>& keys = FieldKeys(field);
        const int order = CompareKeys(keys[a], keys[b], fields_[field].second);
        if (order != 0) return order;
      }
      return 0;
    }
    return CompareKeys(keys_[a], keys_[b], flags_);
  }

  int CompareKeys(SortKey& a, SortKey& b, int32_t flags) {
    int order;
    if ((flags & kNumeric) && a.value.IsNumber() && b.value.IsNumber()) {
      const double x = a.value.AsNumber();
      const double y = b.value.AsNumber();
      order = x < y ? -1 : x > y ? 1 : 0;
    } else {
      if (a.text == nullptr) a.text = vm_.ToString(a.value);
      if (b.text == nullptr) b.text = vm_.ToString(b.value);
      order = (flags & kCaseInsensitive) ? CompareFolded(*a.text, *b.text) : a.text->Compare(*b.text);
      order = order < 0 ? -1 : order > 0 ? 1 : 0;
    }
    return (flags & kDescending) ? -order : order;
  }

  // A field of every element, read the first time the field is compared.
  std::vector<SortKey>& FieldKeys(size_t field) {
    std::vector<SortKey>& keys = fieldKeys_[field];
    if (keys.empty()) {
      keys.resize(keys_.size());
      for (size_t i = 0; i < keys_.size(); ++i) {
        if (!keys_[i].value.IsObject()) continue;
        Value value;
        if (keys_[i].value.AsObject()->GetOwnStored(vm_, fields_[field].first, value)) keys[i].value = value;
      }
    }
    return keys;
  }

  VmImpl& vm_;
  std::vector<SortKey> keys_;
  Value function_;
  NativeRoots* roots_ = nullptr;
  bool custom_ = false;
  int32_t flags_ = 0;
  std::vector<std::pair<String*, int32_t>> fields_;
  std::vector<std::vector<SortKey>> fieldKeys_;
  uint32_t comparisons_ = 0;
};

// What both methods do once the comparison is set up: sort, check uniqueness, and answer the
// indexes or write the elements back in their order. descending reverses the result (sort;
// sortOn compares descending instead).
Value Finish(VmImpl& vm, Object* self, ElementAccess& elements, Sorter& sorter, int32_t flags, bool reverse) {
  std::vector<uint32_t> order = sorter.Sort();
  if (reverse) std::reverse(order.begin(), order.end());
  if ((flags & kUniqueSort) && sorter.HasEqualNeighbours(order)) return Value(0);
  if (flags & kReturnIndexedArray) {
    ArrayObject* indexes = vm.NewArray();
    std::vector<Value>& values = indexes->Elements();
    values.reserve(order.size());
    for (uint32_t index : order) values.push_back(Value(static_cast<double>(index)));
    indexes->Sync(vm);
    return Value(indexes);
  }
  for (uint32_t i = 0; i < order.size(); ++i) elements.Replace(i, sorter.ValueAt(order[i]));
  if (ArrayObject* direct = elements.Direct()) direct->NormalizeOrder();
  return Value(self);
}

std::vector<Value> ReadElements(ElementAccess& elements) {
  std::vector<Value> values;
  const uint32_t length = elements.Length();
  values.reserve(length);
  for (uint32_t i = 0; i < length; ++i) values.push_back(elements.Get(i));
  return values;
}

}  // namespace

// sort(), sort(flags), sort(compare), sort(compare, flags); a first argument that is neither a
// number nor an object makes it do nothing and answer undefined.
Value ArraySort(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  Value function;
  int32_t flags = 0;
  if (call.Has(0)) {
    const Value& first = call.args[0];
    if (first.IsObject()) {
      function = first;
      if (call.Arg(1).IsNumber()) flags = DoubleToInt32(call.args[1].AsNumber());
    } else if (first.IsNumber()) {
      flags = DoubleToInt32((call.Arg(1).IsNumber() ? call.args[1] : first).AsNumber());
    } else {
      return Value();
    }
  }
  ElementAccess elements(vm, self);
  Sorter sorter(vm, ReadElements(elements));
  NativeRoots roots(call, [&sorter](Tracer& tracer) { sorter.Trace(tracer); });
  if (!function.IsUndefined()) sorter.UseFunction(function, roots);
  sorter.SetFlags(flags & ~kDescending);
  return Finish(vm, self, elements, sorter, flags, (flags & kDescending) != 0);
}

// sortOn(field, flags), sortOn([fields], flags or [flags per field]).
Value ArraySortOn(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr || !call.Has(0)) return Value();
  std::vector<std::pair<String*, int32_t>> fields;
  const Value& names = call.args[0];
  if (names.IsObject()) {
    if (names.AsObject()->Class() != ObjectClass::kArray) {
      // Fields that are no array: the default order without flags.
      ElementAccess elements(vm, self);
      Sorter sorter(vm, ReadElements(elements));
      return Finish(vm, self, elements, sorter, 0, false);
    }
    ElementAccess list(vm, names.AsObject());
    const uint32_t count = list.Length();
    if (count == 0) return Value(self);
    for (uint32_t i = 0; i < count; ++i) fields.emplace_back(vm.ToString(list.Get(i)), 0);
    const Value options = call.Arg(1);
    if (options.IsObject()) {
      if (options.AsObject()->Class() == ObjectClass::kArray) {
        ElementAccess perField(vm, options.AsObject());
        if (perField.Length() == count) {
          for (uint32_t i = 0; i < count; ++i) fields[i].second = vm.ToInt32(perField.Get(i));
        }
      }
    } else {
      const int32_t all = vm.ToInt32(options);
      for (auto& field : fields) field.second = all;
    }
  } else {
    fields.emplace_back(vm.ToString(names), call.Arg(1).IsNumber() ? DoubleToInt32(call.args[1].AsNumber()) : 0);
  }
  const int32_t flags = fields[0].second;
  ElementAccess elements(vm, self);
  Sorter sorter(vm, ReadElements(elements));
  sorter.UseFields(std::move(fields));
  sorter.SetFlags(flags);
  return Finish(vm, self, elements, sorter, flags, false);
}

}  // namespace swfplayer::avm1
