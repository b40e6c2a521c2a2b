#include "addons/Gridloom/load_allowance.h"

LoadAllowance::LoadAllowance(const BMessage& record)
    : fLeft(kBase + kPerRecordByte * int64(record.FlattenedSize())) {}

bool LoadAllowance::Take(size_t bytes) {
    if (fExceeded || int64(bytes) > fLeft) {
        fExceeded = true;
        return false;
    }
    fLeft -= int64(bytes);
    return true;
}
