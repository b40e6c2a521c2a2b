// Makes the connections read from a song file safe to pull.
#pragma once

#include <vector>

#include "engine/machine.h"

// The song loader, under the song lock.
class GraphRepair {
  public:
    // savedToNew maps saved IDs to the new table (-1 for a machine that could not be made).
    // Entries naming no machine or the machine itself are dropped from both ends; lists that
    // disagree are rebuilt from the input lists, and connections that close a loop are dropped.
    // True when anything had to change beyond the renumbering.
    static bool Repair(Machine** machines, int32 count, const std::vector<int32>& savedToNew);

  private:
    static bool Renumber(Machine* m, int32 self, const std::vector<int32>& savedToNew);
    static bool Consistent(Machine** machines, int32 count);
    static void RebuildOutputs(Machine** machines, int32 count);
    static bool DropLoops(Machine** machines, int32 count);
    static bool Visit(Machine** machines, int32 id, std::vector<char>& state);
};
