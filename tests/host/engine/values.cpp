#include "engine/values.hpp"

#include <map>
#include <memory>

namespace tessmark::host {

namespace {
std::atomic<long> g_live_bodies{0};

struct NameEntry {
  int references = 0;
  std::string text;
};
std::map<std::string, std::unique_ptr<NameEntry>>& name_table() {
  static std::map<std::string, std::unique_ptr<NameEntry>> table;
  return table;
}
const std::string kEmpty;
}  // namespace

std::size_t packed_element_size(std::int32_t type) {
  switch (type) {
    case kPackedByteArray:
      return 1;
    case kPackedInt32Array:
      return 4;
    case kPackedVector2Array:
      return 8;
    case kPackedVector3Array:
      return 12;
    case kPackedColorArray:
      return 16;
    default:
      return 1;
  }
}

Body::Body() { ++g_live_bodies; }
Body::~Body() { --g_live_bodies; }

DictionaryBody::~DictionaryBody() {
  for (auto& [key, value] : entries) {
    variant_destroy(&key);
    variant_destroy(&value);
  }
}

ArrayBody::~ArrayBody() {
  for (auto& item : items) variant_destroy(&item);
}

long live_bodies() { return g_live_bodies.load(); }
long live_names() { return static_cast<long>(name_table().size()); }

void retain(Body* body) {
  if (body != nullptr) ++body->references;
}

void release(Body* body) {
  if (body != nullptr && --body->references == 0) delete body;
}

StringBody* new_string(std::string text) {
  auto* body = new StringBody;
  body->text = std::move(text);
  return body;
}

void* intern_name(const std::string& text) {
  if (text.empty()) return nullptr;
  auto& slot = name_table()[text];
  if (!slot) {
    slot = std::make_unique<NameEntry>();
    slot->text = text;
  }
  ++slot->references;
  return slot.get();
}

void release_name(void* entry) {
  if (entry == nullptr) return;
  auto* name = static_cast<NameEntry*>(entry);
  if (--name->references == 0) name_table().erase(name->text);
}

const std::string& name_text(const void* entry) {
  return entry == nullptr ? kEmpty : static_cast<const NameEntry*>(entry)->text;
}

static bool holds_body(std::int32_t type) {
  return type == kString || type == kDictionary || type == kArray || is_packed(type);
}

void variant_copy(Variant* dest, const Variant* src) {
  *dest = *src;
  if (holds_body(src->type)) retain(src->data.body);
  if (src->type == kStringName && src->data.name != nullptr)
    ++static_cast<NameEntry*>(src->data.name)->references;
}

void variant_destroy(Variant* v) {
  if (holds_body(v->type)) release(v->data.body);
  if (v->type == kStringName) release_name(v->data.name);
  v->type = kNil;
  v->data.integer = 0;
}

bool variant_equal(const Variant& a, const Variant& b) {
  if (a.type != b.type) return false;
  switch (a.type) {
    case kNil:
      return true;
    case kBool:
      return a.data.boolean == b.data.boolean;
    case kInt:
      return a.data.integer == b.data.integer;
    case kFloat:
      return a.data.real == b.data.real;
    case kString:
      return static_cast<StringBody*>(a.data.body)->text ==
             static_cast<StringBody*>(b.data.body)->text;
    case kStringName:
      return a.data.name == b.data.name;
    default:
      return a.data.body == b.data.body;
  }
}

Variant variant_default(std::int32_t type) {
  Variant v;
  v.type = type;
  if (type == kString) v.data.body = new_string("");
  if (type == kDictionary) v.data.body = new DictionaryBody;
  if (type == kArray) v.data.body = new ArrayBody;
  if (is_packed(type)) {
    auto* body = new PackedBody;
    body->type = type;
    v.data.body = body;
  }
  return v;
}

void unshare(RawPacked* raw) {
  if (raw->body->references.load() == 1) return;
  auto* copy = new PackedBody;
  copy->type = raw->body->type;
  copy->bytes = raw->body->bytes;
  release(raw->body);
  raw->body = copy;
}

}  // namespace tessmark::host
