// What opening a record may allocate: a bounded multiple of the record's own size. Every
// track and page a song of ours holds brings its rows with it, so a record that claims far
// more than its bytes can hold is damaged, and is not allowed to allocate for what it lacks.
#pragma once

#include <cstddef>

#include "message/message.h"

class LoadAllowance {
  public:
    // Bytes of memory per byte of record: what a saved track with nothing but its first
    // page costs, with room to spare.
    static constexpr int64 kPerRecordByte = 16;
    // What any record may make, however small.
    static constexpr int64 kBase = 256 * 1024;

    explicit LoadAllowance(const BMessage& record);

    // False, from then on, once bytes more than is left are asked for.
    bool Take(size_t bytes);
    bool Exceeded() const { return fExceeded; }

  private:
    int64 fLeft;
    bool fExceeded = false;
};
