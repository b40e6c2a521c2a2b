#include "platform/interface/text_control.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "platform/interface/labeled_row.h"
#include "platform/interface/undo_pass_through.h"
#include "platform/interface/window.h"

REGISTER_ARCHIVABLE(BTextControl)

namespace {

float DefaultDivider(const char* label, BRect frame) {
    return label && *label ? std::floor(frame.Width() / 2) : 0;
}

}  // namespace

BTextControl::BTextControl(BRect frame, const char* name, const char* label, const char* text,
                           BMessage* message, uint32 resizingMode, uint32 flags)
    : BControl(frame, name, label, message, resizingMode, flags),
      fText(text ? text : ""),
      fDivider(DefaultDivider(label, frame)) {}

BTextControl::BTextControl(BMessage* archive)
    : BControl(archive), fDivider(DefaultDivider(Label(), Frame())) {
    archive->FindString("_text", &fText);
    archive->FindFloat("_divider", &fDivider);
    fDivider = std::max(fDivider, 0.f);
    BMessage modification;
    if (archive->FindMessage("_mod_msg", &modification) == B_OK)
        fModMessage = std::make_unique<BMessage>(modification);
}

BTextControl::~BTextControl() = default;

BArchivable* BTextControl::Instantiate(BMessage* archive) {
    return validate_instantiation(archive, "BTextControl") ? new BTextControl(archive) : nullptr;
}

status_t BTextControl::Archive(BMessage* archive, bool deep) const {
    BControl::Archive(archive, deep);
    archive_class_name(archive, "BTextControl");
    archive->AddString("_text", fText);
    archive->AddFloat("_divider", fDivider);
    if (fModMessage) archive->AddMessage("_mod_msg", fModMessage.get());
    return B_OK;
}

void BTextControl::SetText(const char* text) {
    fText = text ? text : "";
    fEdited = false;
    WidgetStateChanged();
}

void BTextControl::SetDivider(float divider) {
    fDivider = std::max(divider, 0.f);
    WidgetStateChanged();
}

void BTextControl::SetModificationMessage(BMessage* message) {
    fModMessage.reset(message);
}

void BTextControl::UserEdited(const std::string& text) {
    fText = text;
    fEdited = true;
    if (fModMessage) Invoke(fModMessage.get());
}

void BTextControl::UserCommitted(const std::string& text, bool always) {
    if (!always && !fEdited) return;
    fText = text;
    fEdited = false;
    Invoke();
}

QWidget* BTextControl::CreateWidget(QWidget* parent) {
    LabeledRow control(parent);
    auto* edit = new QLineEdit(control.Row());
    control.Add(edit);
    UndoPassThrough::Install(edit, [edit](bool redo) {
        return redo ? edit->isRedoAvailable() : edit->isUndoAvailable();
    });
    const int32 token = Window()->Token();
    // The text travels with each signal: the widget may change again before the work runs.
    auto commit = [this, token, edit](bool always) {
        WhenLocked(token, [this, text = edit->text().toStdString(), always] {
            UserCommitted(text, always);
        });
    };
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this, token](const QString& text) {
        WhenLocked(token, [this, text = text.toStdString()] { UserEdited(text); });
    });
    QObject::connect(edit, &QLineEdit::returnPressed, edit, [commit] { commit(true); });
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [commit] { commit(false); });
    return control.Row();
}

void BTextControl::SyncWidget() {
    auto* edit = Widget()->findChild<QLineEdit*>();
    const QSignalBlocker blocker(edit);
    BFont font;
    GetFont(&font);
    LabeledRow::SyncLabel(Widget(), Label(), fDivider, font, IsEnabled());
    // Setting the same text again would move the caret to the end.
    const QString text = QString::fromUtf8(fText.c_str());
    if (edit->text() != text) edit->setText(text);
    edit->setFont(font.ToQFont());
    edit->setEnabled(IsEnabled());
}
