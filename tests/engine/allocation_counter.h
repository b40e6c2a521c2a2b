// Counts the heap allocations this process makes while counting is on.
#pragma once

#include <cstddef>

class AllocationCounter {
  public:
    AllocationCounter();
    ~AllocationCounter();
    size_t Count() const;
};
