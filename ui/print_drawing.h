#pragma once
// Drawing a text on printer pages: the mapping mode in tenths of a millimetre, the print font,
// the margins and the usable height. Where lines go is decided by print_layout.h.

#include <windows.h>

#include <string_view>

#include "ui/print_handles.h"

namespace tolvarinth {

constexpr int kPrintMargin = 200;  // 20 mm left, top and bottom of the printable area

// Page metrics in device units, read when a job starts.
struct PageMetrics {
    int physicalWidth = 0;
    int physicalHeight = 0;
    int offsetX = 0;
    int offsetY = 0;
    int unprintableRight = 0;
    int unprintableBottom = 0;
};

PageMetrics ReadPageMetrics(HDC printer);

// 0.1 mm units, y growing downward, (0, 0) at the top-left corner of the printable area.
void SetPrintMapping(HDC dc);

// The height asked of the print font for a screen of the given vertical resolution: 16 screen
// pixels in points, in 0.1 mm, truncated and negated (-42 at 96 dpi, -33 at 120 dpi).
LONG PrintFontHeight(int screenDpiY);
// The print font, sized for the current screen; null when it cannot be made.
UniqueFont MakePrintFont();

// Usable height below the top margin on a page of this DC (logical units; mapping mode set).
int UsablePrintHeight(HDC dc, const PageMetrics& metrics);

// The job side of drawing: message dispatching between lines and page breaks.
class PrintPager {
public:
    virtual ~PrintPager() = default;
    // Dispatches pending messages; false once the job has ended (its DC is gone).
    virtual bool KeepGoing() = 0;
    // Ends the page and starts the next one.
    virtual void BreakPage() = 0;
};

// Draws the text on the open page of `dc` from `position` (device units, relative to the margins)
// on, breaking pages through `pager`. Updates `position` unless the job was stopped, in which case
// `dc` is not touched again. Returns false when stopped.
bool DrawPrintText(HDC dc, HFONT font, const PageMetrics& metrics, POINT& position, std::string_view text,
                   PrintPager& pager);

}  // namespace tolvarinth
