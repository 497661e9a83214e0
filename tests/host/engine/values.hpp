#pragma once
// The stand-in engine's value model, with the engine's value sizes and
// semantics: Variants with type tags, interned StringNames, shared
// reference-counted Strings, insertion-ordered Dictionaries, shared typed
// Arrays and copy-on-write packed arrays. Every heap body is counted, so
// tests can see that nothing the library creates is leaked.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessmark::host {

enum Type : std::int32_t {
  kNil = 0,
  kBool = 1,
  kInt = 2,
  kFloat = 3,
  kString = 4,
  kVector3 = 9,
  kVector3i = 10,
  kStringName = 21,
  kDictionary = 27,
  kArray = 28,
  kPackedByteArray = 29,
  kPackedInt32Array = 30,
  kPackedVector2Array = 35,
  kPackedVector3Array = 36,
  kPackedColorArray = 37,
  kTypeCount = 39,
};

constexpr bool is_packed_type(std::int32_t type) {
  return type == kPackedByteArray || type == kPackedInt32Array || type == kPackedVector2Array ||
         type == kPackedVector3Array || type == kPackedColorArray;
}
inline bool is_packed(std::int32_t type) { return is_packed_type(type); }
std::size_t packed_element_size(std::int32_t type);

struct Body {
  Body();
  virtual ~Body();
  std::atomic<int> references{1};
};

struct Variant;

// A Variant as the engine lays it out: a 4-byte type tag, padding, and
// 16 bytes of payload (inline values or a pointer to a shared body).
struct Variant {
  std::int32_t type = kNil;
  std::int32_t padding = 0;
  union {
    std::uint8_t boolean;
    std::int64_t integer;
    double real;
    float vector[4];
    Body* body;
    void* name;
  } data{};
};
static_assert(sizeof(Variant) == 24);

struct StringBody : Body {
  std::string text;
};

struct DictionaryBody : Body {
  std::vector<std::pair<Variant, Variant>> entries;
  ~DictionaryBody() override;
};

struct ArrayBody : Body {
  std::vector<Variant> items;
  std::int32_t typed = kNil;
  ~ArrayBody() override;
};

struct PackedBody : Body {
  std::int32_t type = kPackedByteArray;
  std::vector<std::byte> bytes;
  std::size_t count() const { return bytes.size() / packed_element_size(type); }
};

// Raw layouts of the reference types, as pointer calls pass them.
struct RawString {
  StringBody* body;
};
struct RawStringName {
  void* entry;  // interned name, null for the empty name
};
struct RawDictionary {
  DictionaryBody* body;
};
struct RawArray {
  ArrayBody* body;
};
struct RawPacked {
  PackedBody* body;
  std::uint64_t unused;
};
static_assert(sizeof(RawString) == 8 && sizeof(RawDictionary) == 8 && sizeof(RawArray) == 8);
static_assert(sizeof(RawPacked) == 16);

// Live heap bodies and interned names, for leak checks.
long live_bodies();
long live_names();

void retain(Body* body);
void release(Body* body);

StringBody* new_string(std::string text);
void* intern_name(const std::string& text);
void release_name(void* entry);
const std::string& name_text(const void* entry);

void variant_copy(Variant* dest, const Variant* src);  // dest uninitialised
void variant_destroy(Variant* v);
bool variant_equal(const Variant& a, const Variant& b);
Variant variant_default(std::int32_t type);  // new default value of a type

// Copy-on-write: makes the packed body exclusive to `raw` before writing.
void unshare(RawPacked* raw);

}  // namespace tessmark::host
