// Controls archive and rebuild with no Qt application.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "platform/interface/button.h"
#include "platform/interface/check_box.h"

namespace {

TEST(HeadlessControls, ButtonsAndCheckBoxesRebuildWithLabelValueAndMessage) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    BCheckBox box(BRect(0, 0, 99, 19), "mute", "Mute", new BMessage('mute'));
    box.SetValue(B_CONTROL_ON);
    box.SetEnabled(false);
    BMessage archive;
    ASSERT_EQ(box.Archive(&archive), B_OK);
    std::unique_ptr<BArchivable> object(instantiate_object(&archive));
    auto* rebuilt = dynamic_cast<BCheckBox*>(object.get());
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_STREQ(rebuilt->Label(), "Mute");
    EXPECT_EQ(rebuilt->Value(), B_CONTROL_ON);
    EXPECT_EQ(rebuilt->Command(), uint32('mute'));
    EXPECT_FALSE(rebuilt->IsEnabled());
    EXPECT_EQ(rebuilt->Frame(), BRect(0, 0, 99, 19));

    BButton button(BRect(0, 0, 79, 23), "ok", "OK", new BMessage('okay'));
    button.MakeDefault(true);
    BMessage buttonArchive;
    button.Archive(&buttonArchive);
    std::unique_ptr<BArchivable> again(instantiate_object(&buttonArchive));
    auto* rebuiltButton = dynamic_cast<BButton*>(again.get());
    ASSERT_NE(rebuiltButton, nullptr);
    EXPECT_STREQ(rebuiltButton->Label(), "OK");
    EXPECT_TRUE(rebuiltButton->IsDefault());
    EXPECT_EQ(rebuiltButton->Command(), uint32('okay'));
    // No window and no target: nothing is sent.
    EXPECT_EQ(rebuiltButton->Invoke(), B_BAD_PORT_ID);
    BButton bare(BRect(0, 0, 9, 9), "bare", "", nullptr);
    EXPECT_EQ(bare.Invoke(), B_BAD_VALUE);
}

}  // namespace
