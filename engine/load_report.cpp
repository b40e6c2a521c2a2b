#include "engine/load_report.h"

#include <algorithm>

#include "engine/show_error.h"

namespace {

// Beyond these, only a count: a damaged count can name hundreds of missing machines.
constexpr int32 kNamesListed = 5;

std::string Capitalised(const char* kind) {
    std::string text = kind;
    if (!text.empty()) text[0] = char(text[0] - 'a' + 'A');
    return text;
}

}  // namespace

void LoadReport::Missing(const char* kind, const std::string& name) {
    Missed& missed = fMissing[kind];
    missed.objects++;
    const std::string shown = name.empty() ? "(no name)" : name;
    if (std::find(missed.names.begin(), missed.names.end(), shown) == missed.names.end()) {
        missed.names.push_back(shown);
    }
}

void LoadReport::CountMismatch(const char* kind, int32 said, int32 held) {
    if (!fCounts.empty()) fCounts += "\n";
    fCounts += "The song says it holds " + std::to_string(said) + " " + kind + "s but holds " +
               std::to_string(held) + ".";
}

std::string LoadReport::Describe(const char* kind, const Missed& missed) {
    const std::string Kind = Capitalised(kind);
    if (missed.objects == 1) {
        return "Missing " + Kind + "!\nCan't create the " + kind + " " + missed.names.front() + "!";
    }
    std::string text = "Missing " + Kind + "s!\nCan't create " + std::to_string(missed.objects) +
                       " " + kind + "s of the missing add-ons ";
    const auto addons = int32(missed.names.size());
    for (int32 i = 0; i < addons && i < kNamesListed; i++) {
        if (i > 0) text += i + 1 == addons ? " and " : ", ";
        text += missed.names[size_t(i)];
    }
    if (addons > kNamesListed) text += " and " + std::to_string(addons - kNamesListed) + " more";
    return text + "!";
}

void LoadReport::Show() const {
    std::string text = fCounts;
    // Instruments first, as they are read.
    for (const char* kind : {"instrument", "machine"}) {
        const auto found = fMissing.find(kind);
        if (found == fMissing.end()) continue;
        if (!text.empty()) text += "\n\n";
        text += Describe(kind, found->second);
    }
    if (!text.empty()) ShowError("%s", text.c_str());
}
