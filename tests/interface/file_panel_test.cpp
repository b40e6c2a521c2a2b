// File panels send the chosen files, or the folder and name to save as, to their target.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/app/app_defs.h"
#include "platform/app/gui_thread.h"
#include "platform/interface/file_panel.h"
#include "platform/interface/window.h"

namespace {

class AnswerWindow : public BWindow {
  public:
    AnswerWindow() : BWindow(BRect(0, 0, 99, 99), "answers", B_TITLED_WINDOW, 0) {}
    void MessageReceived(BMessage* message) override { answers.push_back(*message); }
    std::vector<BMessage> answers;
};

std::string TempFolder() {
    char pattern[] = "/tmp/velloran-panel-XXXXXX";
    return mkdtemp(pattern);
}

TEST(FilePanel, OpenSendsTheChosenRefsAndSaveTheFolderAndName) {
    const std::string folder = TempFolder();
    std::ofstream(folder + "/a.vel") << "x";
    auto* window = new AnswerWindow;
    window->Run();
    BMessenger target(window);
    const entry_ref start(folder);

    BFilePanel open(B_OPEN_PANEL, &target, &start, 0, false);
    open.Show();
    ASSERT_NE(open.Dialog(), nullptr);
    EXPECT_TRUE(open.IsShowing());
    EXPECT_EQ(open.Dialog()->directory().absolutePath().toStdString(), folder);
    open.Dialog()->selectFile("a.vel");
    static_cast<QDialog*>(open.Dialog())->accept();

    BFilePanel save(B_SAVE_PANEL, &target, &start);
    save.SetSaveText("song.vel");
    save.Show();
    static_cast<QDialog*>(save.Dialog())->accept();
    save.Show();
    save.Dialog()->reject();
    for (int i = 0; i < 20 && window->answers.size() < 3; ++i) gui_thread::ProcessEvents();

    ASSERT_EQ(window->answers.size(), 3u);
    entry_ref ref;
    EXPECT_EQ(window->answers[0].what, B_REFS_RECEIVED);
    ASSERT_EQ(window->answers[0].FindRef("refs", &ref), B_OK);
    EXPECT_EQ(ref.path, folder + "/a.vel");
    EXPECT_EQ(window->answers[1].what, B_SAVE_REQUESTED);
    ASSERT_EQ(window->answers[1].FindRef("directory", &ref), B_OK);
    EXPECT_EQ(ref.path, folder);
    std::string name;
    EXPECT_EQ(window->answers[1].FindString("name", &name), B_OK);
    EXPECT_EQ(name, "song.vel");
    EXPECT_EQ(window->answers[2].what, B_CANCEL);
    int32 oldWhat = 0;
    EXPECT_EQ(window->answers[2].FindInt32("old_what", &oldWhat), B_OK);
    EXPECT_EQ(uint32(oldWhat), B_SAVE_REQUESTED);
    EXPECT_FALSE(save.IsShowing());

    window->Lock();
    window->Quit();
    std::filesystem::remove_all(folder);
}

}  // namespace
