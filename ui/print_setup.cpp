#include "ui/print_setup.h"

#include <cderr.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <vector>

namespace tolvarinth {
namespace {

std::wstring DevNamesPart(HGLOBAL devNames, WORD DEVNAMES::*offset) {
    LockedGlobal<DEVNAMES> names(devNames);
    if (!names) return {};
    const auto* base = reinterpret_cast<const wchar_t*>(names.get());
    return std::wstring(base + names.get()->*offset);
}

// Errors after which the remembered printer is dropped and the dialog shown afresh.
bool IsStaleSelectionError(DWORD error) {
    return error == PDERR_DNDMMISMATCH || error == PDERR_PRINTERNOTFOUND || error == PDERR_DEFAULTDIFFERENT;
}

void SetOneCopy(HGLOBAL devMode) {
    LockedGlobal<DEVMODEW> mode(devMode);
    if (!mode) return;
    mode->dmFields |= DM_COPIES;
    mode->dmCopies = 1;
}

}  // namespace

void PrinterSelection::Replace(HGLOBAL devMode, HGLOBAL devNames) {
    if (devMode != devMode_.get()) devMode_.reset(devMode);
    if (devNames != devNames_.get()) devNames_.reset(devNames);
}

std::wstring PrinterSelection::DriverName() const { return DevNamesPart(DevNames(), &DEVNAMES::wDriverOffset); }
std::wstring PrinterSelection::DeviceName() const { return DevNamesPart(DevNames(), &DEVNAMES::wDeviceOffset); }
std::wstring PrinterSelection::PortName() const { return DevNamesPart(DevNames(), &DEVNAMES::wOutputOffset); }

bool SelectDefaultPrinter(PrinterSelection& selection) {
    PRINTDLGW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgW(&dialog)) return false;
    selection.Replace(dialog.hDevMode, dialog.hDevNames);
    return true;
}

void ResetForNewJob(PrinterSelection& selection) {
    if (!selection.DevMode()) return;
    std::wstring device = selection.DeviceName();
    {
        LockedGlobal<DEVMODEW> mode(selection.DevMode());
        if (!mode) return;
        if (device.empty()) device.assign(mode->dmDeviceName, wcsnlen(mode->dmDeviceName, CCHDEVICENAME));
    }
    PrinterHandle printer;
    const bool opened = printer.Open(device.c_str());
    {
        LockedGlobal<DEVMODEW> mode(selection.DevMode());
        if (!mode) return;
        if (opened) mode->dmFields = 0;
        mode->dmFields |= DM_ORIENTATION;
        mode->dmOrientation = DMORIENT_PORTRAIT;
    }
    if (opened) {
        // Merge into a block the driver says is large enough, in case it outgrew the kept one.
        const LONG needed = DocumentPropertiesW(nullptr, printer.get(), device.data(), nullptr, nullptr, 0);
        const SIZE_T size = std::max<SIZE_T>(needed > 0 ? needed : 0, GlobalSize(selection.DevMode()));
        UniqueGlobal merged(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
        bool ok = false;
        {
            LockedGlobal<DEVMODEW> in(selection.DevMode());
            LockedGlobal<DEVMODEW> out(merged.get());
            ok = in && out &&
                 DocumentPropertiesW(nullptr, printer.get(), device.data(), out.get(), in.get(),
                                     DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK;
        }
        if (ok) selection.Replace(merged.release(), selection.ReleaseDevNames());
    }
    SetOneCopy(selection.DevMode());
}

PrintDialogOutcome RunPrintDialog(PRINTDLGW& dialog) {
    PrintDialogOutcome outcome;
    outcome.chosen = PrintDlgW(&dialog) != FALSE;
    if (!outcome.chosen) outcome.error = CommDlgExtendedError();
    return outcome;
}

std::optional<DWORD> ChoosePrinter(HWND owner, PrinterSelection& selection, PrintDialogRunner runDialog) {
    if (selection.IsEmpty()) SelectDefaultPrinter(selection);
    bool retried = false;
    for (;;) {
        ResetForNewJob(selection);
        PRINTDLGW dialog = {};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = owner;
        dialog.Flags = PD_USEDEVMODECOPIESANDCOLLATE | PD_NOPAGENUMS | PD_NOSELECTION;
        dialog.nCopies = 1;
        dialog.hDevMode = selection.ReleaseDevMode();
        dialog.hDevNames = selection.ReleaseDevNames();
        const PrintDialogOutcome outcome = runDialog(dialog);
        // The dialog may have replaced the handles it was given; keep whatever it returned.
        selection.Replace(dialog.hDevMode, dialog.hDevNames);
        if (outcome.chosen) return dialog.Flags;
        // A stale printer is forgotten and the dialog shown once more; a failure with nothing
        // remembered would only repeat itself.
        if (IsStaleSelectionError(outcome.error) && !retried) {
            retried = true;
            selection.Clear();
            continue;
        }
        return std::nullopt;
    }
}

std::optional<std::wstring> ChoosePrintFile(HWND owner) {
    std::vector<wchar_t> path(4096, L'\0');
    const std::wstring initial = L"Output.prn";
    std::copy(initial.begin(), initial.end(), path.begin());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"打印输出文件 (*.prn)\0*.prn\0所有文件 (*.*)\0*.*\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = L"打印到文件";
    dialog.lpstrDefExt = L"prn";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return std::wstring(path.data());
}

}  // namespace tolvarinth
