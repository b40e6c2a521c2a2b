#include "platform/storage/resources.h"

#include "platform/storage/elf_section.h"

status_t BResources::SetTo(const char* path) {
    fEntries.clear();
    fStatus = elf::ReadSection(path, resource_archive::kSectionName, &fBytes);
    if (fStatus == B_OK) fStatus = resource_archive::Parse(fBytes.data(), fBytes.size(), &fEntries);
    if (fStatus != B_OK) fBytes.clear();
    return fStatus;
}

const resource_archive::Entry* BResources::Find(type_code type, const char* name) const {
    if (name == nullptr) return nullptr;
    for (const auto& entry : fEntries) {
        if (entry.type == type && entry.name == name) return &entry;
    }
    return nullptr;
}

const void* BResources::LoadResource(type_code type, const char* name, size_t* size) const {
    const resource_archive::Entry* entry = Find(type, name);
    if (entry == nullptr) return nullptr;
    if (size != nullptr) *size = entry->size;
    return entry->data;
}

bool BResources::HasResource(type_code type, const char* name) const {
    return Find(type, name) != nullptr;
}
