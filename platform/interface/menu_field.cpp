#include "platform/interface/menu_field.h"

#include <QPushButton>

#include "platform/interface/labeled_row.h"
#include "platform/interface/menu.h"
#include "platform/interface/menu_item.h"
#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BMenuField)

namespace {

float DefaultDivider(const char* label, const BFont& font) {
    return label && *label ? font.StringWidth(label) + 6 : 0;
}

}  // namespace

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags), fLabel(label ? label : "") {
    BFont font;
    GetFont(&font);
    fDivider = DefaultDivider(label, font);
    Adopt(menu);
}

BMenuField::BMenuField(BMessage* archive) : BView(archive) {
    archive->FindString("_label", &fLabel);
    BFont font;
    GetFont(&font);
    fDivider = DefaultDivider(fLabel.c_str(), font);
    archive->FindFloat("_divider", &fDivider);
    bool disabled = false;
    archive->FindBool("_disabled", &disabled);
    fEnabled = !disabled;
    BMessage menuArchive;
    BMenu* menu = nullptr;
    if (archive->FindMessage("_menu", &menuArchive) == B_OK)
        menu = dynamic_cast<BMenu*>(instantiate_object(&menuArchive));
    Adopt(menu);
}

BMenuField::~BMenuField() {
    delete fItem;
}

void BMenuField::Adopt(BMenu* menu) {
    // A field always has a menu, so that Menu() never needs a check.
    fMenu = menu ? menu : new BMenu(Name());
    fItem = new BMenuItem(fMenu);
    fMenu->SetOwnerView(this);
    fMenu->SetChangeHook([this] { WidgetStateChanged(); });
    if (fMenu->IsLabelFromMarked()) fMenu->SetLabelFromMarked(true);
}

BArchivable* BMenuField::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BMenuField") ? new BMenuField(archive) : nullptr;
}

status_t BMenuField::Archive(BMessage* archive, bool deep) const {
    BView::Archive(archive, deep);
    archive_class_name(archive, "BMenuField");
    archive->AddString("_label", fLabel);
    archive->AddFloat("_divider", fDivider);
    if (!fEnabled) archive->AddBool("_disabled", true);
    BMessage menuArchive;
    if (fMenu->Archive(&menuArchive, true) == B_OK) archive->AddMessage("_menu", &menuArchive);
    return B_OK;
}

void BMenuField::SetLabel(const char* label) {
    fLabel = label ? label : "";
    WidgetStateChanged();
}

void BMenuField::SetDivider(float divider) {
    fDivider = std::max(divider, 0.f);
    WidgetStateChanged();
}

void BMenuField::SetEnabled(bool enabled) {
    fEnabled = enabled;
    fMenu->SetEnabled(enabled);
    WidgetStateChanged();
}

QWidget* BMenuField::CreateWidget(QWidget* parent) {
    LabeledRow field(parent);
    auto* button = new QPushButton(field.Row());
    button->setStyleSheet("text-align: left; padding-left: 4px;");
    field.Add(button);
    const int32 token = Window()->Token();
    QObject::connect(button, &QPushButton::clicked, button,
                     [this, token] { WhenLocked(token, [this] { OpenMenu(); }); });
    return field.Row();
}

void BMenuField::SyncWidget() {
    auto* button = Widget()->findChild<QPushButton*>();
    BFont font;
    GetFont(&font);
    LabeledRow::SyncLabel(Widget(), fLabel.c_str(), fDivider, font, fEnabled);
    button->setText(QString::fromUtf8(fItem->Label()).replace('&', "&&") + QStringLiteral("  ▾"));
    button->setFont(font.ToQFont());
    button->setEnabled(fEnabled && fMenu->IsEnabled());
}

void BMenuField::OpenMenu() {
    const BPoint below = ConvertToScreen(BPoint(fDivider, Bounds().bottom + 1));
    if (BMenuItem* chosen = fMenu->ExecQMenu(below)) chosen->Invoke();
}
