#include "godot/method_binding.hpp"

namespace tessmark::godot {

namespace {

const char* type_name(abi::VariantType type) {
  switch (type) {
    case abi::kBool:
      return "bool";
    case abi::kInt:
      return "int";
    case abi::kFloat:
      return "float";
    case abi::kVector3:
      return "Vector3";
    case abi::kPackedByteArray:
      return "PackedByteArray";
    case abi::kPackedVector3Array:
      return "PackedVector3Array";
    default:
      return "another type";
  }
}

}  // namespace

std::string describe_conversion(std::size_t index, const char* argument, Conversion why,
                                abi::VariantType expected) {
  std::string text = "argument " + std::to_string(index) + " (" + argument + ") ";
  if (why == Conversion::kOutOfRange) {
    text += "does not fit a 32-bit int";
  } else {
    text += "is not of type ";
    text += type_name(expected);
  }
  return text + "; the call was refused";
}

}  // namespace tessmark::godot
