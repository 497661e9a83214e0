#include "engine/value.hpp"

#include <cstring>
#include <stdexcept>

namespace tessmark::host {

Value::Value(bool v) {
  v_.type = kBool;
  v_.data.boolean = v ? 1 : 0;
}
Value::Value(std::int64_t v) {
  v_.type = kInt;
  v_.data.integer = v;
}
Value::Value(double v) {
  v_.type = kFloat;
  v_.data.real = v;
}
Value::Value(Vec3 v) {
  v_.type = kVector3;
  v_.data.vector[0] = v.x;
  v_.data.vector[1] = v.y;
  v_.data.vector[2] = v.z;
}
Value::Value(const char* text) {
  v_.type = kString;
  v_.data.body = new_string(text);
}

Value Value::packed(std::int32_t type, const void* data, std::size_t size_bytes) {
  Value out;
  out.v_ = variant_default(type);
  auto* body = static_cast<PackedBody*>(out.v_.data.body);
  body->bytes.resize(size_bytes);
  if (size_bytes > 0) std::memcpy(body->bytes.data(), data, size_bytes);
  return out;
}
Value Value::bytes(std::span<const std::uint8_t> data) {
  return packed(kPackedByteArray, data.data(), data.size_bytes());
}
Value Value::int32s(std::span<const std::int32_t> data) {
  return packed(kPackedInt32Array, data.data(), data.size_bytes());
}
Value Value::vector3s(std::span<const Vec3> data) {
  return packed(kPackedVector3Array, data.data(), data.size_bytes());
}

Value Value::adopt(Variant v) {
  Value out;
  out.v_ = v;
  return out;
}

Value::Value(const Value& other) { variant_copy(&v_, &other.v_); }
Value& Value::operator=(const Value& other) {
  if (this != &other) {
    Variant copy;
    variant_copy(&copy, &other.v_);
    variant_destroy(&v_);
    v_ = copy;
  }
  return *this;
}
Value::~Value() { variant_destroy(&v_); }

static void expect(bool ok, const char* what) {
  if (!ok) throw std::logic_error(what);
}

bool Value::as_bool() const {
  expect(v_.type == kBool, "not a bool");
  return v_.data.boolean != 0;
}
std::int64_t Value::as_int() const {
  expect(v_.type == kInt, "not an int");
  return v_.data.integer;
}
double Value::as_float() const {
  expect(v_.type == kFloat, "not a float");
  return v_.data.real;
}
Vec3 Value::as_vec3() const {
  expect(v_.type == kVector3, "not a Vector3");
  return {v_.data.vector[0], v_.data.vector[1], v_.data.vector[2]};
}
Vec3i Value::as_vec3i() const {
  expect(v_.type == kVector3i, "not a Vector3i");
  Vec3i out;
  std::memcpy(&out, v_.data.vector, sizeof out);
  return out;
}
std::string Value::as_string() const {
  expect(v_.type == kString, "not a String");
  return static_cast<StringBody*>(v_.data.body)->text;
}

std::vector<std::string> Value::keys() const {
  expect(v_.type == kDictionary, "not a Dictionary");
  std::vector<std::string> out;
  for (const auto& [key, value] : static_cast<DictionaryBody*>(v_.data.body)->entries)
    out.push_back(key.type == kString ? static_cast<StringBody*>(key.data.body)->text
                                      : std::string("<not a String key>"));
  return out;
}

Value Value::at(const std::string& key) const {
  expect(v_.type == kDictionary, "not a Dictionary");
  for (const auto& [k, value] : static_cast<DictionaryBody*>(v_.data.body)->entries) {
    if (k.type == kString && static_cast<StringBody*>(k.data.body)->text == key) {
      Variant copy;
      variant_copy(&copy, &value);
      return adopt(copy);
    }
  }
  throw std::out_of_range("no key " + key);
}

std::size_t Value::size() const {
  if (v_.type == kDictionary) return static_cast<DictionaryBody*>(v_.data.body)->entries.size();
  if (v_.type == kArray) return static_cast<ArrayBody*>(v_.data.body)->items.size();
  expect(is_packed(v_.type), "not a container");
  return static_cast<PackedBody*>(v_.data.body)->count();
}

Value Value::item(std::size_t index) const {
  expect(v_.type == kArray, "not an Array");
  Variant copy;
  variant_copy(&copy, &static_cast<ArrayBody*>(v_.data.body)->items.at(index));
  return adopt(copy);
}

std::int32_t Value::element_type() const {
  expect(v_.type == kArray, "not an Array");
  return static_cast<ArrayBody*>(v_.data.body)->typed;
}

template <typename T>
static std::vector<T> elements(const Variant& v, std::int32_t type) {
  expect(v.type == type, "not the expected packed array");
  const auto* body = static_cast<PackedBody*>(v.data.body);
  std::vector<T> out(body->count());
  if (!out.empty()) std::memcpy(out.data(), body->bytes.data(), body->bytes.size());
  return out;
}

std::vector<std::uint8_t> Value::byte_values() const {
  return elements<std::uint8_t>(v_, kPackedByteArray);
}
std::vector<std::int32_t> Value::int32_values() const {
  return elements<std::int32_t>(v_, kPackedInt32Array);
}
std::vector<Vec3> Value::vec3_values() const { return elements<Vec3>(v_, kPackedVector3Array); }

}  // namespace tessmark::host
