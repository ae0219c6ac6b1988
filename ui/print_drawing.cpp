#include "ui/print_drawing.h"

#include <algorithm>
#include <string>

#include "file/codepage_win32.h"
#include "ui/print_layout.h"

namespace tolvarinth {
namespace {

constexpr double kTenthsOfMillimetrePerPoint = 3.5250987027636778;
constexpr int kLineGapPixels = 2;

// Puts the print font and drawing settings into a DC and takes the font out again.
class GdiPrintSurface final : public PrintSurface {
public:
    GdiPrintSurface(HDC dc, HFONT font, PrintPager& pager) : dc_(dc), font_(font), pager_(pager) {
        SelectDrawingObjects();
        SIZE size = {};
        GetTextExtentPoint32W(dc_, L"W", 1, &size);
        emptyLineHeight_ = size.cy;
    }
    ~GdiPrintSurface() override {
        if (!stopped_ && previousFont_) SelectObject(dc_, previousFont_);
    }

    bool KeepGoing() override {
        if (!pager_.KeepGoing()) stopped_ = true;
        return !stopped_;
    }
    int LineHeight(std::string_view line) override {
        if (line.empty()) return emptyLineHeight_;
        const std::wstring wide = WidenText(line);
        SIZE size = {};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size.cy;
    }
    void BreakPage() override {
        pager_.BreakPage();
        SetPrintMapping(dc_);
        SelectDrawingObjects();
    }
    void DrawLine(int top, std::string_view line) override {
        const std::wstring wide = WidenText(line);
        TextOutW(dc_, kPrintMargin + x_, kPrintMargin + top, wide.c_str(), static_cast<int>(wide.size()));
    }
    int NextLineTop(int top, int height) override {
        POINT point = {x_, top + height};
        LPtoDP(dc_, &point, 1);
        point.y += kLineGapPixels;
        DPtoLP(dc_, &point, 1);
        return point.y;
    }

    void SetX(int x) { x_ = x; }
    int X() const { return x_; }

private:
    void SelectDrawingObjects() {
        HGDIOBJ previous = SelectObject(dc_, font_);
        if (!previousFont_) previousFont_ = previous;
        SetTextColor(dc_, RGB(0, 0, 0));
        SetBkMode(dc_, TRANSPARENT);
        SetROP2(dc_, R2_COPYPEN);
    }

    HDC dc_;
    HFONT font_;
    PrintPager& pager_;
    HGDIOBJ previousFont_ = nullptr;
    int emptyLineHeight_ = 0;
    int x_ = 0;
    bool stopped_ = false;
};

}  // namespace

PageMetrics ReadPageMetrics(HDC printer) {
    PageMetrics m;
    m.physicalWidth = GetDeviceCaps(printer, PHYSICALWIDTH);
    m.physicalHeight = GetDeviceCaps(printer, PHYSICALHEIGHT);
    m.offsetX = GetDeviceCaps(printer, PHYSICALOFFSETX);
    m.offsetY = GetDeviceCaps(printer, PHYSICALOFFSETY);
    m.unprintableRight = std::max(0, m.physicalWidth - m.offsetX - GetDeviceCaps(printer, HORZRES));
    m.unprintableBottom = std::max(0, m.physicalHeight - m.offsetY - GetDeviceCaps(printer, VERTRES));
    return m;
}

void SetPrintMapping(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    SIZE window = {};
    SIZE viewport = {};
    GetWindowExtEx(dc, &window);
    GetViewportExtEx(dc, &viewport);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, window.cx, -window.cy, nullptr);
    SetViewportExtEx(dc, viewport.cx, viewport.cy, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

LONG PrintFontHeight(int screenDpiY) {
    if (screenDpiY <= 0) screenDpiY = 96;
    const double points = 16.0 * 72.0 / screenDpiY;
    return -static_cast<LONG>(points * kTenthsOfMillimetrePerPoint);
}

UniqueFont MakePrintFont() {
    int dpi = 0;
    if (UniqueDc screen{CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr)}) {
        dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    LOGFONTW font = {};
    font.lfHeight = PrintFontHeight(dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = 0;
    lstrcpynW(font.lfFaceName, L"宋体", LF_FACESIZE);
    return UniqueFont(CreateFontIndirectW(&font));
}

int UsablePrintHeight(HDC dc, const PageMetrics& metrics) {
    POINT bottom = {0, metrics.physicalHeight - metrics.unprintableBottom - metrics.offsetY};
    DPtoLP(dc, &bottom, 1);
    return bottom.y - 2 * kPrintMargin;
}

bool DrawPrintText(HDC dc, HFONT font, const PageMetrics& metrics, POINT& position, std::string_view text,
                   PrintPager& pager) {
    GdiPrintSurface surface(dc, font, pager);
    POINT logical = position;
    DPtoLP(dc, &logical, 1);
    surface.SetX(logical.x);
    const int usableHeight = UsablePrintHeight(dc, metrics);
    const LayoutOutcome outcome = LayOutText(text, logical.y, usableHeight, surface);
    if (outcome.stopped) return false;
    POINT device = {surface.X(), outcome.nextTop};
    LPtoDP(dc, &device, 1);
    position = device;
    return true;
}

}  // namespace tolvarinth
