// A point-list envelope that the program offers to instruments.
#pragma once

#include <vector>

#include "message/message.h"

// Window threads; an instrument reads a table on the player thread only while no window edits it.
class KeyVal {
  public:
    KeyVal(const char* name, int32 reg);
    ~KeyVal();
    KeyVal(const KeyVal&) = delete;
    KeyVal& operator=(const KeyVal&) = delete;

    // Never before point 0; after every point with the same x.
    void InsertPoint(float x, float y);
    // Point 0 and indices past the last point are left alone.
    void DeletePoint(int32 i);

    void Save(BMessage* msg) const;
    void Open(BMessage* msg);

    int32 id;
    char name[52];
    int32 active = 0;
    int32 num_points = 5;
    int32 capacity = 32;
    BPoint* points;

  private:
    void Grow(int32 needed);
};

// Window threads. The registered envelopes, in the order they were made.
extern std::vector<KeyVal*> keyval_list;
int32 GetNumKeyVal();
KeyVal* GetKeyVal(int32 i);
