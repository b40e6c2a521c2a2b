#include "addons/Plugbay/effect_roster.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <vector>

#include "addons/Plugbay/host_callback.h"
#include "addons/Plugbay/plugin_check.h"
#include "addons/Plugbay/plugin_scan.h"
#include "addons/Plugbay/plugin_verdicts.h"
#include "engine/diagnostics.h"
#include "engine/song.h"
#include "platform/storage/image_path.h"

EffectRoster effect_roster;

namespace {

std::vector<std::string> UserFolders() {
    std::vector<std::string> folders;
    const char* listed = std::getenv("VST_PATH");
    if (listed != nullptr) {
        std::stringstream parts(listed);
        for (std::string folder; std::getline(parts, folder, ':');)
            if (!folder.empty()) folders.push_back(folder);
        return folders;
    }
    const char* home = std::getenv("HOME");
    for (std::string folder : EffectRoster::kUserFolders) {
        if (folder.starts_with("~/")) {
            if (home == nullptr) continue;
            folder = home + folder.substr(1);
        }
        folders.push_back(folder);
    }
    return folders;
}

// The checker lives beside libvelloran, in the build tree as when installed.
std::string Checker() {
    BPath library;
    if (get_image_path(&song, &library) != B_OK || library.InitCheck() != B_OK) return "";
    const std::string path = library.Path();
    return path.substr(0, path.rfind('/') + 1) + "velloran-plugcheck";
}

std::string FullPath(const std::string& path) {
    return path.starts_with('/') ? path : std::string(kAddOnFolder) + "/" + path;
}

}  // namespace

EffectRoster::~EffectRoster() {
    if (fScan != nullptr) fScan->Abandon();
}

void EffectRoster::ScanAll() {
    bool first = false;
    std::call_once(fStarted, [this, &first] {
        first = true;
        fScan = PluginScan::Start([this](PluginScan& scan) { Build(scan); });
    });
    // Only the wait that started the scan shows its progress.
    fScan->Wait(first);
}

void EffectRoster::Build(PluginScan& scan) {
    // Built apart and handed over whole, so no one sees it half-built.
    const auto found = std::make_unique<EffectRoster>();
    found->Scan("plugbayplugins");
    for (const std::string& folder : UserFolders()) found->AddFolder(folder);
    found->LeaveOutFailures(scan);
    scan.Finish([this, &found] { TakeList(*found); });
}

void EffectRoster::AddFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> found;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
         it.increment(error)) {
        if (it->path().extension() == ".so" && it->is_regular_file(error)) found.push_back(*it);
    }
    // The same order on every machine, whatever order the folders list in.
    std::sort(found.begin(), found.end());
    for (const fs::path& file : found) {
        const std::string name = file.stem().string();
        if (count >= kMaxEntries || name.size() >= kNameSize || Find(name.c_str()) >= 0) continue;
        paths[count] = file.string();
        names[count] = name;
        count++;
    }
}

void EffectRoster::LeaveOutFailures(PluginScan& scan) {
    PluginVerdicts verdicts;
    const std::string checker = Checker();
    const auto unknown = [&verdicts](const std::string& path) {
        return verdicts.Find(FullPath(path)) == nullptr;
    };
    const auto toCheck = int32(std::count_if(paths, paths + count, unknown));
    int32 checked = 0;
    int32 kept = 0;
    for (int32 i = 0; i < count; i++) {
        const std::string path = FullPath(paths[i]);
        const PluginVerdict* known = verdicts.Find(path);
        if (known == nullptr) scan.Checking(names[i], ++checked, toCheck);
        const PluginVerdict verdict = known != nullptr ? *known : PluginCheck::Run(checker, path);
        if (known == nullptr && verdict.checked) verdicts.Remember(path, verdict);
        if (!verdict.usable) {
            std::fprintf(stderr, "Velloran: left out the plug-in %s: %s\n", path.c_str(),
                         verdict.reason.c_str());
            continue;
        }
        paths[kept] = paths[i];
        names[kept] = names[i];
        kept++;
    }
    count = kept;
    verdicts.Save();
}

void EffectRoster::TakeList(EffectRoster& found) {
    std::move(found.paths, found.paths + found.count, paths);
    std::move(found.names, found.names + found.count, names);
    count = found.count;
}

AEffectEntryProc EffectRoster::Entry(int index) {
    Load(index);
    // Libraries built for other hosts export the entry under one of the older names.
    for (const char* symbol :
         {AEFFECT_ENTRY_NAME, AEFFECT_ENTRY_NAME_ALT, AEFFECT_ENTRY_NAME_OLD}) {
        void* found = nullptr;
        if (objects[index]->GetObject(symbol, &found))
            return reinterpret_cast<AEffectEntryProc>(found);
    }
    return nullptr;
}

Effect* EffectRoster::Create(const char* name) {
    Diagnostic("Creating: %s\n", name != nullptr ? name : "");
    int index = Find(name);
    if (index < 0) return nullptr;
    AEffectEntryProc entry = Entry(index);
    AEffect* record = entry != nullptr ? entry(Hej) : nullptr;
    // Without a dispatcher a record can be neither opened nor closed.
    if (record == nullptr || record->dispatcher == nullptr) return nullptr;
    auto* made = new Effect(record);
    if (made->Init()) return made;
    delete made;
    return nullptr;
}
