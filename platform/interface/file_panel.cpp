#include "platform/interface/file_panel.h"

#include <QFileDialog>
#include <QFileInfo>

#include "platform/app/app_defs.h"
#include "platform/app/application.h"
#include "platform/app/gui_thread.h"

namespace {

// With no GUI a panel has nothing to show; the caller's thread does what the GUI would.
void OnGui(const std::function<void()>& work) {
    if (gui_thread::Started()) gui_thread::RunAndWait(work);
}

}  // namespace

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
                       uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message, void*,
                       bool modal, bool hideWhenDone)
    : fMode(mode),
      fTarget(target ? *target : be_app_messenger()),
      fMessage(message),
      fDirectory(directory ? directory->path : ""),
      fFlavors(nodeFlavors ? nodeFlavors : B_FILE_NODE),
      fMultiple(allowMultipleSelection),
      fModal(modal),
      fHideWhenDone(hideWhenDone) {}

BFilePanel::~BFilePanel() {
    OnGui([this] { delete fDialog; });
    delete fMessage;
}

void BFilePanel::Show() {
    OnGui([this] { Open(); });
}

void BFilePanel::Hide() {
    OnGui([this] {
        if (fDialog) fDialog->hide();
    });
}

bool BFilePanel::IsShowing() const {
    bool showing = false;
    OnGui([&] { showing = fDialog && fDialog->isVisible(); });
    return showing;
}

void BFilePanel::SetTarget(BMessenger target) {
    fTarget = target;
}

void BFilePanel::SetMessage(BMessage* message) {
    delete fMessage;
    fMessage = message;
}

void BFilePanel::SetPanelDirectory(const char* directory) {
    fDirectory = directory ? directory : "";
    OnGui([this] {
        if (fDialog) fDialog->setDirectory(QString::fromStdString(fDirectory));
    });
}

void BFilePanel::SetPanelDirectory(const entry_ref* directory) {
    SetPanelDirectory(directory ? directory->path.c_str() : nullptr);
}

void BFilePanel::GetPanelDirectory(entry_ref* directory) const {
    if (!directory) return;
    std::string path = fDirectory;
    OnGui([&] {
        if (fDialog) path = fDialog->directory().absolutePath().toStdString();
    });
    *directory = entry_ref(path);
}

void BFilePanel::SetSaveText(const char* text) {
    fSaveText = text ? text : "";
    OnGui([this] {
        if (fDialog) fDialog->selectFile(QString::fromStdString(fSaveText));
    });
}

void BFilePanel::SetButtonLabel(file_panel_button button, const char* label) {
    if (button != B_CANCEL_BUTTON && button != B_DEFAULT_BUTTON) return;
    fButtonLabels[button] = label ? label : "";
}

void BFilePanel::Open() {
    if (!fDialog) {
        fDialog = new QFileDialog;
        // The native dialogs of some desktops run their own loop and ignore our settings.
        fDialog->setOption(QFileDialog::DontUseNativeDialog);
        QObject::connect(fDialog, &QDialog::finished, fDialog,
                         [this](int result) { Answer(result == QDialog::Accepted); });
    }
    const bool save = fMode == B_SAVE_PANEL;
    fDialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (save)
        fDialog->setFileMode(QFileDialog::AnyFile);
    else if (!(fFlavors & B_FILE_NODE))
        fDialog->setFileMode(QFileDialog::Directory);
    else
        fDialog->setFileMode(fMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    fDialog->setWindowTitle(save ? "Save" : "Open");
    fDialog->setWindowModality(fModal ? Qt::ApplicationModal : Qt::NonModal);
    const QFileDialog::DialogLabel labels[2] = {QFileDialog::Reject, QFileDialog::Accept};
    for (int i = 0; i < 2; ++i)
        if (!fButtonLabels[i].empty())
            fDialog->setLabelText(labels[i], QString::fromStdString(fButtonLabels[i]));
    if (!fDirectory.empty()) fDialog->setDirectory(QString::fromStdString(fDirectory));
    if (save && !fSaveText.empty()) fDialog->selectFile(QString::fromStdString(fSaveText));
    fDialog->show();
    fDialog->raise();
}

void BFilePanel::Answer(bool accepted) {
    fDirectory = fDialog->directory().absolutePath().toStdString();
    BMessage reply = Reply();
    if (!accepted) {
        BMessage cancel(B_CANCEL);
        cancel.AddInt32("old_what", int32(reply.what));
        fTarget.SendMessage(&cancel);
        return;
    }
    const QStringList chosen = fDialog->selectedFiles();
    if (fMode == B_SAVE_PANEL && !chosen.isEmpty()) {
        const QFileInfo file(chosen.front());
        const entry_ref directory(file.absolutePath().toStdString());
        reply.AddRef("directory", &directory);
        reply.AddString("name", file.fileName().toStdString());
    } else {
        for (const QString& path : chosen) {
            const entry_ref ref(path.toStdString());
            reply.AddRef("refs", &ref);
        }
    }
    fTarget.SendMessage(&reply);
    if (!fHideWhenDone) fDialog->show();
}

BMessage BFilePanel::Reply() const {
    if (fMessage) return *fMessage;
    return BMessage(fMode == B_SAVE_PANEL ? B_SAVE_REQUESTED : B_REFS_RECEIVED);
}
