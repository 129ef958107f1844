// Arbitrary bytes as a recovery file: reading ends in an image or an error, never a crash or
// a hang, and an image that was read writes back to the very same bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/app/book_recovery.h"
#include "engine/base/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const engine::RecoveryImage image = engine::ReadRecoveryImage(bytes);
    if (engine::WriteRecoveryImage(image) != bytes) std::abort();
  } catch (const engine::Error&) {
  }
  return 0;
}
