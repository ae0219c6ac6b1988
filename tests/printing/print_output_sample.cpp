// Prints sample documents through File > Print's entry point to the PostScript file named by
// TOLVARINTH_PRINT_OUTPUT; check_printed_output.sh turns the file into text and checks it.
// Without that variable the cases are skipped.
#include "ui/print_document.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "file/codepage_win32.h"
#include "tests/printing/print_dialog_answers.h"
#include "tests/printing/test_printer.h"
#include "tests/support/ui_harness.h"
#include "ui/print_progress_ids.h"

namespace tolvarinth {
namespace {

using namespace uitest;
using namespace printtest;

// 70 lines, one of them Chinese, one empty (CR LF CR LF) and one with a tab.
std::string SampleText() {
    std::string text = "第一行 first line\r\n";
    for (int i = 2; i <= 70; ++i) {
        if (i == 5) {
            text += "\r\n";
            continue;
        }
        text += (i == 6 ? "tab\there " : "line ") + std::to_string(i) + "\r\n";
    }
    return text;
}

class PrintedOutputSample : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        const char* output = std::getenv("TOLVARINTH_PRINT_OUTPUT");
        if (!output || !*output) GTEST_SKIP() << "run by check_printed_output.sh";
        output_ = WidenText(output);
        ASSERT_EQ(InstallTestPrinters(), "");
        main_ = CreateWindowExW(0, L"STATIC", L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(main_, nullptr);
        Dialogs().Ignore(DialogMatch{"正在进行打印"});
        Dialogs().Answer(PrintToFileAndOk());
        Dialogs().Answer(ChooseFileName(output_), DialogMatch{"打印到文件"});
        DeleteFileW(output_.c_str());
        ReportPrintableOffset();
    }
    void TearDown() override {
        if (main_) DestroyAndDrain(main_);
        UiTest::TearDown();
    }

    // The checking script needs the printable area's corner on the sheet.
    void ReportPrintableOffset() {
        UniqueDc printer = CreatePrinterDc(kPrinterA);
        ASSERT_TRUE(printer);
        const double x = GetDeviceCaps(printer.get(), PHYSICALOFFSETX) * 25.4 / GetDeviceCaps(printer.get(), LOGPIXELSX);
        const double y = GetDeviceCaps(printer.get(), PHYSICALOFFSETY) * 25.4 / GetDeviceCaps(printer.get(), LOGPIXELSY);
        std::printf("printable-offset-mm %.2f %.2f\n", x, y);
        std::fflush(stdout);
    }

    HWND main_ = nullptr;
    std::wstring output_;
};

TEST_F(PrintedOutputSample, WholeDocument) {
    PrintDocument(main_, SampleText());
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(CountPostScriptPages(ReadFileBytes(output_)), 2);
}

TEST_F(PrintedOutputSample, StoppedOnPageTwo) {
    bool stopped = false;
    {
        StopOnPageTwo stop;
        PrintDocument(main_, SampleText() + SampleText());
        stopped = stop.Pressed();
    }
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(CountPostScriptPages(ReadFileBytes(output_)), 2);
}

}  // namespace
}  // namespace tolvarinth
