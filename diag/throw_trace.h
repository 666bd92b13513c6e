#pragma once
// Where exceptions come from: while tracking is on, every C++ throw in the
// process records the return addresses on the throwing thread's stack and the
// time, so that a report shows where an error was raised, not where it was
// caught. A later throw of the same thread replaces the record; a rethrow
// ("throw;", std::rethrow_exception) keeps it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>

namespace zelk::diag {

inline constexpr std::size_t kMaxStackFrames = 64;

struct StackRecord {
  // Return addresses, innermost first: the first lies in the function that
  // threw (or in the library helper that throws for it).
  std::array<std::uintptr_t, kMaxStackFrames> addresses{};
  std::size_t size = 0;
  std::timespec time{};  // wall-clock time of the throw
};

// Idempotent; the record of a throw made while tracking is off is not touched.
void startThrowTracking();
void stopThrowTracking();

// The calling thread's latest record, if it ever threw while tracking was on.
// Copies a plain struct: safe in a signal handler.
std::optional<StackRecord> latestThrowRecord();

// The code address of the throw, or 0 for an empty record.
inline std::uintptr_t throwAddress(const StackRecord& record) { return record.size > 0 ? record.addresses[0] : 0; }

}  // namespace zelk::diag
