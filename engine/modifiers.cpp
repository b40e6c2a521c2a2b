#include "engine/modifiers.h"

#include <algorithm>
#include <cstring>

#include "engine/diagnostics.h"
#include "engine/finite_values.h"

Modifiers::Modifiers(ModifierInfoList* list, int32 rows)
    : info(list), length(std::clamp(rows, int32(0), kMaxLength)) {}

Modifiers::~Modifiers() {
    FreePages();
}

void Modifiers::FreePages() {
    for (float*& page : pages) {
        delete[] page;
        page = nullptr;
    }
}

int32 Modifiers::Count() const {
    return info == nullptr ? 0 : std::min(info->count, kMaxPages);
}

void Modifiers::CreatePage(int32 j) {
    if (j < 0 || j >= Count()) return;
    delete[] pages[j];
    pages[j] = new float[size_t(std::max(length, int32(1)))];
    std::fill(pages[j], pages[j] + length, info->info[j].def);
}

void Modifiers::SetVal(int32 j, int32 row, float value) {
    if (j < 0 || j >= Count() || row < 0 || row >= length) return;
    if (pages[j] == nullptr) {
        Diagnostic("Autocreation of a modifierpage.\n");
        CreatePage(j);
    }
    pages[j][row] = value;
}

float Modifiers::GetVal(int32 j, int32 row) const {
    if (j < 0 || j >= Count()) return 0;
    if (pages[j] == nullptr || row < 0 || row >= length) return info->info[j].def;
    return pages[j][row];
}

void Modifiers::Save(BMessage* msg) const {
    msg->AddInt32("length", length);
    for (int32 j = 0; j < Count(); j++) {
        if (pages[j] == nullptr) continue;
        msg->AddString("name", info->info[j].name);
        msg->AddData("val", B_FLOAT_TYPE, pages[j], ssize_t(length) * 4);
    }
}

void Modifiers::Open(BMessage* msg) {
    const char* name;
    for (int32 k = 0; k < kMaxPages && msg->FindString("name", k, &name) == B_OK; k++) {
        int32 j = 0;
        while (j < Count() && std::strcmp(info->info[j].name, name) != 0) j++;
        const void* data;
        ssize_t size;
        if (j == Count() || msg->FindData("val", B_FLOAT_TYPE, k, &data, &size) != B_OK) continue;
        if (pages[j] == nullptr) {
            Diagnostic("Autocreation of a modifierpage.\n");
            CreatePage(j);
        }
        // A short item fills what it holds; the other rows keep their defaults.
        const ModifierInfo& range = info->info[j];
        const auto* bytes = static_cast<const char*>(data);
        for (int32 row = 0; row < length && row < size / 4; row++) {
            float value;
            std::memcpy(&value, bytes + size_t(row) * 4, 4);
            pages[j][row] = FiniteIn(value, range.min, range.max, range.def);
        }
    }
}
