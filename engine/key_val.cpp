#include "engine/key_val.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "engine/finite_values.h"

std::vector<KeyVal*> keyval_list = [] {
    std::vector<KeyVal*> list;
    list.reserve(20);
    return list;
}();

namespace {

std::atomic<int32> next_id{0};

}  // namespace

KeyVal::KeyVal(const char* keyName, int32 reg) : id(next_id++), points(new BPoint[32]) {
    std::strncpy(name, keyName != nullptr ? keyName : "", sizeof name - 1);
    name[sizeof name - 1] = 0;
    // Attack, hold, decay and release at 44100 frames a second.
    const BPoint shape[5] = {{0, 0}, {5000, 1.0f}, {27050, 1.0f}, {49100, 0.2f}, {71150, 0}};
    std::copy(shape, shape + 5, points);
    if (reg != 0) keyval_list.push_back(this);
}

KeyVal::~KeyVal() {
    std::erase(keyval_list, this);
    delete[] points;
}

void KeyVal::Grow(int32 needed) {
    int32 grown = capacity;
    while (grown <= needed) grown *= 2;
    if (grown == capacity) return;
    auto* larger = new BPoint[size_t(grown)];
    std::copy(points, points + num_points, larger);
    delete[] points;
    points = larger;
    capacity = grown;
}

void KeyVal::InsertPoint(float x, float y) {
    int32 i = 0;
    for (int32 p = 0; p < num_points; p++) {
        if (points[p].x <= x) i = p;
    }
    int32 at = num_points == 0 ? 0 : i + 1;
    // The array is never completely full.
    Grow(num_points + 1);
    std::copy_backward(points + at, points + num_points, points + num_points + 1);
    points[at] = BPoint(x, y);
    num_points++;
}

void KeyVal::DeletePoint(int32 i) {
    if (i <= 0 || i >= num_points) return;
    std::copy(points + i + 1, points + num_points, points + i);
    num_points--;
}

void KeyVal::Save(BMessage* msg) const {
    msg->AddInt32("KeyVal:active", active);
    msg->AddInt32("KeyVal:num_points", num_points);
    for (int32 i = 0; i < num_points; i++) {
        msg->AddFloat("KeyVal:px", points[i].x);
        msg->AddFloat("KeyVal:py", points[i].y);
    }
}

void KeyVal::Open(BMessage* msg) {
    if (msg->FindInt32("KeyVal:active", &active) != B_OK) {
        active = 0;
        return;
    }
    int32 saved = num_points;
    msg->FindInt32("KeyVal:num_points", &saved);
    // No more points than the message holds, so a damaged count cannot make us allocate.
    int32 xs = 0, ys = 0;
    msg->GetInfo("KeyVal:px", nullptr, &xs);
    msg->GetInfo("KeyVal:py", nullptr, &ys);
    int32 count = std::clamp(saved, int32(0), std::min(xs, ys));
    Grow(count);
    for (int32 i = 0; i < count; i++) {
        float x = 0.0f, y = 0.0f;
        msg->FindFloat("KeyVal:px", i, &x);
        msg->FindFloat("KeyVal:py", i, &y);
        points[i] = BPoint(FiniteOr(x, 0.0f), FiniteOr(y, 0.0f));
    }
    num_points = count;
}

int32 GetNumKeyVal() {
    return int32(keyval_list.size());
}

KeyVal* GetKeyVal(int32 i) {
    return i >= 0 && i < GetNumKeyVal() ? keyval_list[size_t(i)] : nullptr;
}
