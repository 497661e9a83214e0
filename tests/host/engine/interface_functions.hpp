#pragma once
// The stand-in engine's interface lookup, handed to the library's entry.

namespace tessmark::host {

using Function = void (*)();
Function get_proc_address(const char* name);

}  // namespace tessmark::host
