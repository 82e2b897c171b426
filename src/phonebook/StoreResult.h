// The result of every operation of the phonebook store that touches its file.
#pragma once

// A caller that drops one has lost a failure, so the compiler refuses to let it.
enum class [[nodiscard]] StoreResult {
  Ok = 0,
  NoSlot = 1,        // the store has no database path
  CreateFailed = 2   // the database could not be opened, written or committed; the
                     // operation (or the whole batch) left the store as it was
};
