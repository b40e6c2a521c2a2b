#include "app/song_details_window.h"

#include "app/scrolled_views.h"
#include "engine/song.h"
#include "platform/interface/check_box.h"
#include "platform/interface/text_control.h"
#include "platform/interface/text_view.h"

SongDetailsWindow* songdetailswindow = nullptr;

SongDetailsWindow::SongDetailsWindow() : IEWindow("SongDetailsWindow") {
    Lock();
    fTitle = static_cast<BTextControl*>(FindView("txtSongTitle"));
    fShowOnOpen = static_cast<BCheckBox*>(FindView("ShowOnOpen"));
    fText = AddScrolledText(FindView("detailsview"));
    Fill();
    Unlock();
    songdetailswindow = this;
}

void SongDetailsWindow::Show() {
    Lock();
    if (IsHidden()) {
        Fill();
        IEWindow::Show();
    }
    Activate();
    Unlock();
}

bool SongDetailsWindow::QuitRequested() {
    if (!IsHidden()) Hide();
    Store();
    return false;
}

void SongDetailsWindow::Reload() {
    Lock();
    Fill();
    Unlock();
}

void SongDetailsWindow::Fill() {
    fTitle->SetText(song->title.c_str());
    fText->SetText(song->details.c_str());
    fShowOnOpen->SetValue(song->show_details_window ? B_CONTROL_ON : B_CONTROL_OFF);
}

void SongDetailsWindow::Store() {
    song->title = fTitle->Text();
    song->details = fText->Text();
    song->show_details_window = fShowOnOpen->Value() == B_CONTROL_ON;
}
