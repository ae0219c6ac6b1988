// Whole print jobs on a PostScript test printer, with the print dialog, the print-to-file dialog
// and the progress dialog answered or pressed in-process.
#include "ui/print_job.h"

#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include "tests/printing/print_dialog_answers.h"
#include "tests/printing/test_printer.h"
#include "tests/support/ui_harness.h"
#include "ui/print_progress_ids.h"

namespace tolvarinth {
namespace {

using namespace uitest;
using namespace printtest;

std::string LongText(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

DEVMODEW ReadDevMode(const PrinterSelection& selection) {
    LockedGlobal<DEVMODEW> mode(selection.DevMode());
    return mode ? *mode.get() : DEVMODEW{};
}

class PrintJobTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_EQ(InstallTestPrinters(), "");
        main_ = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
        Dialogs().Ignore(DialogMatch{"正在进行打印"});
        output_ = TempFilePath(L"job.prn");
    }
    void TearDown() override {
        job_.End();
        DestroyAndDrain(main_);
        DeleteFileW(output_.c_str());
        UiTest::TearDown();
    }

    // Queues the answers that print to output_.
    void AnswerPrintToFile(DialogSnapshot* saveDialog = nullptr) {
        Dialogs().Answer(PrintToFileAndOk());
        Dialogs().Answer(saveDialog ? Record(saveDialog, ChooseFileName(output_)) : ChooseFileName(output_),
                         DialogMatch{"打印到文件"});
    }

    HWND main_ = nullptr;
    std::wstring output_;
    PrinterSelection selection_;
    PrintJob job_;
};

TEST_F(PrintJobTest, PrintsToTheChosenFileWhileShowingProgress) {
    DialogSnapshot save;
    std::vector<std::string> fileTypes;
    Dialogs().Answer(PrintToFileAndOk());
    Dialogs().Answer(Record(&save, ReadFileTypes(&fileTypes, ChooseFileName(output_))), DialogMatch{"打印到文件"});

    ASSERT_TRUE(job_.Begin(main_, selection_));
    HWND progress = job_.Progress().Window();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(WindowTextA(progress), "正在进行打印，请稍候 ......");
    EXPECT_EQ(WindowTextA(GetDlgItem(progress, IDC_PRINT_JOB_NAME)), "未命名打印作业");
    const std::string title = WindowTextA(GetDlgItem(progress, IDC_PRINT_DESTINATION));
    EXPECT_NE(title.find("job"), std::string::npos) << title;  // the file title, not the path
    EXPECT_EQ(title.find('\\'), std::string::npos) << title;
    EXPECT_EQ(WindowTextA(GetDlgItem(progress, IDC_PRINT_COPIES)), "1");
    EXPECT_EQ(WindowTextA(GetDlgItem(progress, IDC_PRINT_PAGE)), "1");
    EXPECT_EQ(GetWindow(progress, GW_OWNER), main_);
    EXPECT_FALSE(IsWindowEnabled(main_));
    EXPECT_TRUE(IsWindowEnabled(progress));

    job_.PrintText("first\r\n中文\r\n");
    job_.End();
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_FALSE(job_.Progress().IsOpen());
    EXPECT_FALSE(job_.IsStarted());

    EXPECT_EQ(save.caption, "打印到文件");
    const std::string fileName = save.Find(cmb13) ? save.TextOf(cmb13) : save.TextOf(edt1);
    EXPECT_EQ(fileName, "Output.prn");
    EXPECT_EQ(fileTypes, (std::vector<std::string>{"打印输出文件 (*.prn)", "所有文件 (*.*)"}));
    const std::string postScript = ReadFileBytes(output_);
    EXPECT_EQ(postScript.rfind("%!PS", 0), 0u);
    EXPECT_EQ(CountPostScriptPages(postScript), 1);
}

TEST_F(PrintJobTest, CancelPrintsNothingAndKeepsThePrinterChosen) {
    Dialogs().Answer(Sequence({PickPrinter(kPrinterB), PrintToFileAndOk()}));
    Dialogs().Answer(ChooseFileName(output_), DialogMatch{"打印到文件"});
    ASSERT_TRUE(job_.Begin(main_, selection_));
    job_.End();
    ASSERT_TRUE(DeleteFileW(output_.c_str()));

    DialogSnapshot second;
    Dialogs().Answer(Record(&second, PressButton(IDCANCEL)));
    EXPECT_FALSE(job_.Begin(main_, selection_));
    EXPECT_FALSE(job_.IsStarted());
    EXPECT_FALSE(job_.Progress().IsOpen());
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(second.TextOf(cmb4), "Tolvarinth PS B");
    EXPECT_EQ(selection_.DeviceName(), kPrinterB);
    EXPECT_EQ(GetFileAttributesW(output_.c_str()), INVALID_FILE_ATTRIBUTES);

    DialogSnapshot third;
    Dialogs().Answer(Record(&third, PressButton(IDCANCEL)));
    EXPECT_FALSE(job_.Begin(main_, selection_));
    EXPECT_EQ(third.TextOf(cmb4), "Tolvarinth PS B");
}

// Printing to the printer itself: the destination names printer and port.
TEST_F(PrintJobTest, PrintingToThePrinterShowsPrinterAndPort) {
    Dialogs().Answer(PressButton(IDOK));
    ASSERT_TRUE(job_.Begin(main_, selection_));
    HWND progress = job_.Progress().Window();
    EXPECT_EQ(WindowTextA(GetDlgItem(progress, IDC_PRINT_DESTINATION)), "Tolvarinth PS A 上的 FILE:");
    job_.End();
    EXPECT_FALSE(job_.Progress().IsOpen());
    EXPECT_TRUE(IsWindowEnabled(main_));
}

// A kept printer that has gone away is forgotten and the dialog offers the default one.
TEST_F(PrintJobTest, VanishedPrinterIsForgotten) {
    const std::wstring gone = L"Tolvarinth Gone";
    HGLOBAL names = MakeDevNames(L"wineps.drv", gone, L"FILE:");
    HGLOBAL mode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEW));
    {
        LockedGlobal<DEVMODEW> devMode(mode);
        lstrcpynW(devMode->dmDeviceName, gone.c_str(), CCHDEVICENAME);
        devMode->dmSize = sizeof(DEVMODEW);
        devMode->dmSpecVersion = DM_SPECVERSION;
    }
    selection_.Replace(mode, names);

    DialogSnapshot shown;
    Dialogs().Answer(Record(&shown, PrintToFileAndOk()));
    Dialogs().Answer(ChooseFileName(output_), DialogMatch{"打印到文件"});
    ASSERT_TRUE(job_.Begin(main_, selection_));
    job_.End();
    EXPECT_EQ(shown.TextOf(cmb4), "Tolvarinth PS A");
    EXPECT_EQ(selection_.DeviceName(), kPrinterA);
    EXPECT_EQ(CountPostScriptPages(ReadFileBytes(output_)), 1);
}

TEST_F(PrintJobTest, CancellingThePrintFileDialogAbandonsTheJob) {
    Dialogs().Answer(PrintToFileAndOk());
    Dialogs().Answer(PressButton(IDCANCEL), DialogMatch{"打印到文件"});
    EXPECT_FALSE(job_.Begin(main_, selection_));
    EXPECT_FALSE(job_.IsStarted());
    EXPECT_FALSE(job_.Progress().IsOpen());
    EXPECT_TRUE(IsWindowEnabled(main_));
}

TEST_F(PrintJobTest, SecondJobStartsInPortraitWithOneCopy) {
    AnswerPrintToFile();
    ASSERT_TRUE(job_.Begin(main_, selection_));
    job_.PrintText("one");
    job_.End();
    {
        // As if landscape and three copies had been chosen for the first job.
        LockedGlobal<DEVMODEW> mode(selection_.DevMode());
        ASSERT_TRUE(mode);
        mode->dmFields |= DM_ORIENTATION | DM_COPIES;
        mode->dmOrientation = DMORIENT_LANDSCAPE;
        mode->dmCopies = 3;
    }

    ASSERT_TRUE(DeleteFileW(output_.c_str()));  // no overwrite question
    DialogSnapshot second;
    Dialogs().Answer(Record(&second, PrintToFileAndOk()));
    Dialogs().Answer(ChooseFileName(output_), DialogMatch{"打印到文件"});
    ASSERT_TRUE(job_.Begin(main_, selection_));
    job_.End();

    EXPECT_EQ(second.TextOf(cmb4), "Tolvarinth PS A");
    EXPECT_EQ(second.TextOf(edt3), "1");
    const DEVMODEW mode = ReadDevMode(selection_);
    EXPECT_EQ(mode.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(mode.dmCopies, 1);
}

TEST_F(PrintJobTest, EmptyTextPrintsOneBlankPage) {
    AnswerPrintToFile();
    ASSERT_TRUE(job_.Begin(main_, selection_));
    job_.PrintText("");
    job_.End();
    EXPECT_EQ(CountPostScriptPages(ReadFileBytes(output_)), 1);
}

// Stopping: when the progress dialog shows page 2, the stop button or Escape is pressed.
class PrintJobStopTest : public PrintJobTest, public ::testing::WithParamInterface<StopBy> {};

TEST_P(PrintJobStopTest, EndsAfterTheCurrentLineKeepingThePagesSoFar) {
    AnswerPrintToFile();
    ASSERT_TRUE(job_.Begin(main_, selection_));
    EXPECT_FALSE(IsWindowEnabled(main_));
    bool stopped = false;
    {
        StopOnPageTwo stop(GetParam());
        job_.PrintText(LongText(300));
        stopped = stop.Pressed();
    }

    EXPECT_TRUE(stopped);
    EXPECT_FALSE(job_.IsStarted());
    EXPECT_FALSE(job_.Progress().IsOpen());
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(job_.PageNumber(), 2);
    job_.End();  // nothing left to do
    EXPECT_EQ(CountPostScriptPages(ReadFileBytes(output_)), 2);
}

INSTANTIATE_TEST_SUITE_P(StopButtonAndEscape, PrintJobStopTest, ::testing::Values(StopBy::Button, StopBy::Escape),
                         [](const ::testing::TestParamInfo<StopBy>& info) {
                             return info.param == StopBy::Button ? std::string("StopButton") : std::string("Escape");
                         });

}  // namespace
}  // namespace tolvarinth
