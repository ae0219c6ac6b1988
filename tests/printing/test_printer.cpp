#include "tests/printing/test_printer.h"

#include <commdlg.h>
#include <winspool.h>

#include <fstream>
#include <iterator>
#include <sstream>

namespace tolvarinth::printtest {
namespace {

const wchar_t kDriverName[] = L"Tolvarinth PostScript";

std::string LastError(const char* what) {
    std::ostringstream text;
    text << what << " failed, error " << GetLastError();
    return text.str();
}

// Wine's winspool carries a generic PostScript printer description as resource PPDFILE 1.
std::string WriteGenericDescription(const std::wstring& path) {
    HMODULE spooler = GetModuleHandleW(L"winspool.drv");
    if (!spooler) spooler = LoadLibraryW(L"winspool.drv");
    HRSRC resource = spooler ? FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    HGLOBAL loaded = resource ? LoadResource(spooler, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return LastError("finding the PPDFILE resource");
    std::ofstream out(path.c_str(), std::ios::binary);
    out.write(static_cast<const char*>(data), SizeofResource(spooler, resource));
    return out ? std::string() : "writing the printer description";
}

// The description stays where the driver finds it: in the printer driver folder.
std::wstring DescriptionPath() {
    wchar_t folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof(folder), &needed))
        GetTempPathW(MAX_PATH, folder);
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + L"tolvarinth-generic.ppd";
}

std::string AddDriver(const std::wstring& description) {
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(kDriverName);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(description.c_str());
    driver.pDefaultDataType = const_cast<wchar_t*>(L"RAW");
    const BOOL added = AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES);
    const DWORD code = GetLastError();
    if (!added && code != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        SetLastError(code);
        return LastError("AddPrinterDriverExW");
    }
    return {};
}

bool PrinterExists(const wchar_t* name) {
    PrinterHandle printer;
    return printer.Open(name);
}

std::string InstallPrinter(const wchar_t* name) {
    if (PrinterExists(name)) return {};
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(name);
    info.pPortName = const_cast<wchar_t*>(L"FILE:");
    info.pDriverName = const_cast<wchar_t*>(kDriverName);
    info.pPrintProcessor = const_cast<wchar_t*>(L"winprint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer) {
        ClosePrinter(printer);
        return {};
    }
    // Another test process may have added it meanwhile.
    return PrinterExists(name) ? std::string() : LastError("AddPrinterW");
}

}  // namespace

std::string InstallTestPrinters() {
    const std::wstring description = DescriptionPath();
    if (GetFileAttributesW(description.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const std::string error = WriteGenericDescription(description);
        if (!error.empty()) return error;
    }
    if (!PrinterExists(kPrinterA) || !PrinterExists(kPrinterB)) {
        std::string error = AddDriver(description);
        if (error.empty()) error = InstallPrinter(kPrinterA);
        if (error.empty()) error = InstallPrinter(kPrinterB);
        if (!error.empty()) return error;
    }
    if (!SetDefaultPrinterW(kPrinterA)) return LastError("SetDefaultPrinterW");
    return {};
}

UniqueDc CreatePrinterDc(const wchar_t* printer) {
    return UniqueDc(CreateDCW(L"WINSPOOL", printer, nullptr, nullptr));
}

HGLOBAL MakeDevNames(const std::wstring& driver, const std::wstring& device, const std::wstring& port) {
    const std::wstring parts[] = {driver, device, port};
    std::size_t size = sizeof(DEVNAMES);
    for (const std::wstring& part : parts) size += (part.size() + 1) * sizeof(wchar_t);
    HGLOBAL names = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    LockedGlobal<DEVNAMES> devNames(names);
    if (!devNames) return names;
    auto* text = reinterpret_cast<wchar_t*>(devNames.get());
    WORD offset = sizeof(DEVNAMES) / sizeof(wchar_t);
    WORD* offsets[] = {&devNames->wDriverOffset, &devNames->wDeviceOffset, &devNames->wOutputOffset};
    for (int i = 0; i < 3; ++i) {
        *offsets[i] = offset;
        lstrcpyW(text + offset, parts[i].c_str());
        offset = static_cast<WORD>(offset + parts[i].size() + 1);
    }
    return names;
}

std::wstring TempFilePath(const std::wstring& name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"tolvarinth-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int CountPostScriptPages(const std::string& postScript) {
    int pages = 0;
    for (std::size_t at = postScript.find("\n%%Page:"); at != std::string::npos;
         at = postScript.find("\n%%Page:", at + 1)) {
        ++pages;
    }
    return pages;
}

}  // namespace tolvarinth::printtest
