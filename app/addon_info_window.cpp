#include "app/addon_info_window.h"

#include <string>

#include "app/scrolled_views.h"
#include "engine/rosters.h"
#include "platform/interface/text_view.h"

namespace {

constexpr const char* kIndent = "    ";

// The text view has one font, so headings are set apart by a rule and the information by
// an indent under each add-on's name.
std::string Heading(const char* heading) {
    std::string title = heading;
    while (!title.empty() && title.back() == '\n') title.pop_back();
    return title + "\n" + std::string(title.size(), '=') + "\n\n";
}

void AddLines(std::string* text, const BMessage& info, const char* key, const char* label) {
    std::string value;
    for (int32 i = 0; info.FindString(key, i, &value) == B_OK; i++)
        *text += kIndent + std::string(label) + value + "\n";
}

std::string AddonText(Roster* roster, int32 index) {
    std::string text = roster->names[index] + "\n";
    const BMessage* info = roster->GetInfo(index);
    if (info == nullptr) return text + kIndent + "No information\n\n";
    AddLines(&text, *info, "info", "Info: ");
    AddLines(&text, *info, "developer", "Developer: ");
    AddLines(&text, *info, "canimport", "Can import: ");
    return text + "\n";
}

}  // namespace

AddonInfoWindow::AddonInfoWindow() : IEWindow("AddonInfoWindow") {
    Lock();
    fText = AddScrolledText(FindView("detailsview"));
    fText->MakeEditable(false);
    InsertInfo("Machines\n", &machine_roster);
    InsertInfo("Instruments\n", &instrument_roster);
    InsertInfo("Importers\n", &importer_roster);
    fText->Select(0, 0);
    Unlock();
    Show();
}

void AddonInfoWindow::InsertInfo(const char* heading, Roster* roster) {
    std::string text = Heading(heading);
    for (int32 index = 0; index < roster->count; index++) text += AddonText(roster, index);
    if (roster->count == 0) text += kIndent + std::string("None found\n\n");
    fText->Select(fText->TextLength(), fText->TextLength());
    fText->Insert(text.c_str());
}
