#include "engine/modifiers.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/diagnostics.h"
#include "engine/finite_values.h"

Modifiers::Modifiers(ModifierInfoList* list, int32 rows)
    : info(list), length(std::clamp(rows, int32(0), kMaxLength)) {}

Modifiers::~Modifiers() {
    FreePages();
}

void Modifiers::FreePages() {
    for (std::atomic<float*>& page : pages) delete[] page.exchange(nullptr);
}

int32 Modifiers::Count() const {
    return info == nullptr ? 0 : std::min(info->count, kMaxPages);
}

void Modifiers::CreatePage(int32 j) {
    if (j < 0 || j >= Count()) return;
    if (pages[j].load(std::memory_order_acquire) != nullptr) return Fill(j, info->info[j].def);
    auto* page = new float[size_t(std::max(length, int32(1)))];
    std::fill(page, page + length, info->info[j].def);
    // A note starting now reads either no page (the default) or a filled one.
    pages[j].store(page, std::memory_order_release);
}

void Modifiers::Fill(int32 j, float value) {
    float* page = pages[j].load(std::memory_order_acquire);
    for (int32 row = 0; row < length; row++)
        std::atomic_ref<float>(page[row]).store(value, std::memory_order_relaxed);
}

void Modifiers::Reset() {
    for (int32 j = 0; j < Count(); j++)
        if (pages[j].load(std::memory_order_acquire) != nullptr) Fill(j, info->info[j].def);
}

void Modifiers::SetVal(int32 j, int32 row, float value) {
    if (j < 0 || j >= Count() || row < 0 || row >= length) return;
    if (pages[j].load(std::memory_order_acquire) == nullptr) {
        Diagnostic("Autocreation of a modifierpage.\n");
        CreatePage(j);
    }
    std::atomic_ref<float>(pages[j].load(std::memory_order_acquire)[row])
        .store(value, std::memory_order_relaxed);
}

float Modifiers::GetVal(int32 j, int32 row) const {
    if (j < 0 || j >= Count()) return 0;
    float* page = pages[j].load(std::memory_order_acquire);
    if (page == nullptr || row < 0 || row >= length) return info->info[j].def;
    return std::atomic_ref<float>(page[row]).load(std::memory_order_relaxed);
}

void Modifiers::Save(BMessage* msg) const {
    msg->AddInt32("length", length);
    std::vector<float> values(static_cast<size_t>(length));
    for (int32 j = 0; j < Count(); j++) {
        if (pages[j].load(std::memory_order_acquire) == nullptr) continue;
        for (int32 row = 0; row < length; row++) values[size_t(row)] = GetVal(j, row);
        msg->AddString("name", info->info[j].name);
        msg->AddData("val", B_FLOAT_TYPE, values.data(), ssize_t(length) * 4);
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
        // A short item fills what it holds; the other rows keep their defaults.
        const ModifierInfo& range = info->info[j];
        const auto* bytes = static_cast<const char*>(data);
        for (int32 row = 0; row < length && row < size / 4; row++) {
            float value;
            std::memcpy(&value, bytes + size_t(row) * 4, 4);
            SetVal(j, row, FiniteIn(value, range.min, range.max, range.def));
        }
    }
}
