// The rules around the print dialog: flags, the reset to portrait and one copy, what is kept
// after Cancel, and forgetting a printer the dialog rejects. The dialog itself is replaced by a
// scripted one here; print_job_test.cpp shows the real one.
#include "ui/print_setup.h"

#include <cderr.h>
#include <gtest/gtest.h>

#include <vector>

#include "tests/printing/test_printer.h"

namespace tolvarinth {
namespace {

using printtest::InstallTestPrinters;
using printtest::kPrinterA;
using printtest::kPrinterB;
using printtest::MakeDevNames;

// What the scripted dialog saw on each call, and how it answers.
struct SeenDialog {
    HWND owner = nullptr;
    DWORD flags = 0;
    WORD copies = 0;
    bool hadDevMode = false;
    bool hadDevNames = false;
    short orientation = 0;
    short devModeCopies = 0;
};
thread_local std::vector<SeenDialog> tSeen;
thread_local std::vector<PrintDialogOutcome> tOutcomes;  // one per call; the last one repeats
thread_local bool tPickPrinterB = false;

PrintDialogOutcome ScriptedDialog(PRINTDLGW& dialog) {
    SeenDialog seen;
    seen.owner = dialog.hwndOwner;
    seen.flags = dialog.Flags;
    seen.copies = dialog.nCopies;
    seen.hadDevMode = dialog.hDevMode != nullptr;
    seen.hadDevNames = dialog.hDevNames != nullptr;
    if (LockedGlobal<DEVMODEW> mode(dialog.hDevMode); mode) {
        seen.orientation = mode->dmOrientation;
        seen.devModeCopies = mode->dmCopies;
    }
    tSeen.push_back(seen);
    if (tPickPrinterB) {
        if (dialog.hDevNames) GlobalFree(dialog.hDevNames);
        dialog.hDevNames = MakeDevNames(L"wineps.drv", kPrinterB, L"FILE:");
    }
    const PrintDialogOutcome outcome = tOutcomes[std::min(tSeen.size(), tOutcomes.size()) - 1];
    if (outcome.chosen) dialog.Flags |= PD_PRINTTOFILE;
    return outcome;
}

class ChoosePrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(InstallTestPrinters(), "");
        ASSERT_TRUE(SelectDefaultPrinter(selection_));
        ASSERT_EQ(selection_.DeviceName(), kPrinterA);
        tSeen.clear();
        tOutcomes.clear();
        tPickPrinterB = false;
    }

    PrinterSelection selection_;
    HWND owner_ = reinterpret_cast<HWND>(0x1234);
};

TEST_F(ChoosePrinterTest, AsksForAllPagesInPortraitWithOneCopy) {
    {
        // As left by a previous job printed in landscape, three copies.
        LockedGlobal<DEVMODEW> mode(selection_.DevMode());
        ASSERT_TRUE(mode);
        mode->dmFields |= DM_ORIENTATION | DM_COPIES;
        mode->dmOrientation = DMORIENT_LANDSCAPE;
        mode->dmCopies = 3;
    }
    tOutcomes = {{false, 0}};
    EXPECT_FALSE(ChoosePrinter(owner_, selection_, ScriptedDialog).has_value());
    ASSERT_EQ(tSeen.size(), 1u);
    EXPECT_EQ(tSeen[0].owner, owner_);
    EXPECT_EQ(tSeen[0].flags, static_cast<DWORD>(PD_USEDEVMODECOPIESANDCOLLATE | PD_NOPAGENUMS | PD_NOSELECTION));
    EXPECT_EQ(tSeen[0].copies, 1);
    EXPECT_TRUE(tSeen[0].hadDevMode);
    EXPECT_TRUE(tSeen[0].hadDevNames);
    EXPECT_EQ(tSeen[0].orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(tSeen[0].devModeCopies, 1);
}

TEST_F(ChoosePrinterTest, StartsFromTheDefaultPrinterWhenNothingIsKept) {
    PrinterSelection empty;
    tOutcomes = {{false, 0}};
    ChoosePrinter(owner_, empty, ScriptedDialog);
    ASSERT_EQ(tSeen.size(), 1u);
    EXPECT_TRUE(tSeen[0].hadDevNames);
    EXPECT_EQ(empty.DeviceName(), kPrinterA);
}

TEST_F(ChoosePrinterTest, OkReturnsTheDialogFlags) {
    tOutcomes = {{true, 0}};
    const std::optional<DWORD> flags = ChoosePrinter(owner_, selection_, ScriptedDialog);
    ASSERT_TRUE(flags.has_value());
    EXPECT_TRUE(*flags & PD_PRINTTOFILE);
}

TEST_F(ChoosePrinterTest, CancelKeepsThePrinterPickedInTheDialog) {
    tPickPrinterB = true;
    tOutcomes = {{false, 0}};
    EXPECT_FALSE(ChoosePrinter(owner_, selection_, ScriptedDialog).has_value());
    EXPECT_EQ(tSeen.size(), 1u);
    EXPECT_EQ(selection_.DeviceName(), kPrinterB);
}

TEST_F(ChoosePrinterTest, RejectedPrinterIsForgottenAndTheDialogShownAgain) {
    for (DWORD error : {PDERR_DNDMMISMATCH, PDERR_PRINTERNOTFOUND, PDERR_DEFAULTDIFFERENT}) {
        SCOPED_TRACE(error);
        SetUp();
        tOutcomes = {{false, error}, {true, 0}};
        EXPECT_TRUE(ChoosePrinter(owner_, selection_, ScriptedDialog).has_value());
        ASSERT_EQ(tSeen.size(), 2u);
        EXPECT_TRUE(tSeen[0].hadDevNames);
        EXPECT_FALSE(tSeen[1].hadDevNames);
        EXPECT_FALSE(tSeen[1].hadDevMode);
    }
}

TEST_F(ChoosePrinterTest, RepeatedRejectionGivesUpInsteadOfLooping) {
    tOutcomes = {{false, PDERR_PRINTERNOTFOUND}};
    EXPECT_FALSE(ChoosePrinter(owner_, selection_, ScriptedDialog).has_value());
    EXPECT_EQ(tSeen.size(), 2u);
}

TEST_F(ChoosePrinterTest, OtherFailuresEndWithoutRetry) {
    tOutcomes = {{false, PDERR_NODEFAULTPRN}};
    EXPECT_FALSE(ChoosePrinter(owner_, selection_, ScriptedDialog).has_value());
    EXPECT_EQ(tSeen.size(), 1u);
    EXPECT_EQ(selection_.DeviceName(), kPrinterA);
}

}  // namespace
}  // namespace tolvarinth
