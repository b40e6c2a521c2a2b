// Counts the mutex locks this process takes while counting is on.
#pragma once

#include <cstddef>

class LockCounter {
  public:
    LockCounter();
    ~LockCounter();
    size_t Count() const;
};
