#pragma once
// The one failure a method body can report: the call ends, the message goes
// to the engine's error output and the engine receives a call error.

#include <stdexcept>

namespace tessmark::godot {

class MethodFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tessmark::godot
