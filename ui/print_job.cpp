#include "ui/print_job.h"

#include <commdlg.h>

#include <optional>
#include <vector>

namespace tolvarinth {
namespace {

const wchar_t kJobName[] = L"未命名打印作业";

UniqueDc CreatePrinterDc(const PrinterSelection& selection) {
    const std::wstring driver = selection.DriverName();
    const std::wstring device = selection.DeviceName();
    const std::wstring port = selection.PortName();
    if (device.empty()) return nullptr;
    LockedGlobal<DEVMODEW> mode(selection.DevMode());
    return UniqueDc(CreateDCW(driver.c_str(), device.c_str(), port.c_str(), mode.get()));
}

std::wstring FileTitle(const std::wstring& path) {
    std::vector<wchar_t> title(path.size() + 1, L'\0');
    if (GetFileTitleW(path.c_str(), title.data(), static_cast<WORD>(title.size())) != 0) return path;
    return title.data();
}

std::wstring PrinterDestination(const PrinterSelection& selection) {
    return selection.DeviceName() + L" 上的 " + selection.PortName();
}

}  // namespace

bool PrintJob::Begin(HWND owner, PrinterSelection& selection) {
    if (dc_) return false;
    const std::optional<DWORD> flags = ChoosePrinter(owner, selection);
    if (!flags) return false;
    dc_ = CreatePrinterDc(selection);
    if (!dc_) return false;

    std::optional<std::wstring> outputFile;
    if (*flags & PD_PRINTTOFILE) {
        outputFile = ChoosePrintFile(owner);
        if (!outputFile) {
            dc_.reset();
            return false;
        }
    }

    position_ = {0, 0};
    pageNumber_ = 1;
    copiesPrinted_ = 1;
    metrics_ = ReadPageMetrics(dc_.get());

    const std::wstring destination = outputFile ? FileTitle(*outputFile) : PrinterDestination(selection);
    progress_.Open(owner, kJobName, destination, copiesPrinted_, pageNumber_, OnStop, this);

    DOCINFOW document = {};
    document.cbSize = sizeof(document);
    document.lpszDocName = kJobName;
    document.lpszOutput = outputFile ? outputFile->c_str() : nullptr;
    if (StartDocW(dc_.get(), &document) <= 0) {
        progress_.Close();
        dc_.reset();
        return false;
    }

    font_ = MakePrintFont();
    pageOpen_ = false;
    progress_.Repaint();

    if (StartPage(dc_.get()) <= 0) {
        Abort();
        return false;
    }
    pageOpen_ = true;
    SetPrintMapping(dc_.get());
    return true;
}

void PrintJob::PrintText(const std::string& text) {
    if (!dc_) return;
    SetPrintMapping(dc_.get());
    if (!pageOpen_) {
        if (StartPage(dc_.get()) <= 0) {
            Abort();
            return;
        }
        pageOpen_ = true;
        SetPrintMapping(dc_.get());
    }
    DrawPrintText(dc_.get(), font_.get(), metrics_, position_, text, *this);
}

void PrintJob::End() {
    if (dc_) {
        position_ = {0, 0};
        if (pageOpen_) {
            EndPage(dc_.get());
            pageOpen_ = false;
        }
        EndDoc(dc_.get());
        dc_.reset();
        font_.reset();
    }
    progress_.Close();
}

bool PrintJob::KeepGoing() {
    DispatchPendingMessages();
    return dc_ != nullptr;
}

void PrintJob::BreakPage() {
    ++pageNumber_;
    EndPage(dc_.get());
    StartPage(dc_.get());
    progress_.ShowPage(pageNumber_);
}

// Lets the progress dialog repaint and take its stop button or Escape between lines. A quit
// request is left in the queue for the main message loop.
void PrintJob::DispatchPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) break;
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        HWND dialog = progress_.Window();
        if (dialog && IsDialogMessageW(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void PrintJob::OnStop(void* job) { static_cast<PrintJob*>(job)->Abort(); }

}  // namespace tolvarinth
