#pragma once
// Where each line of a printed text goes: the line-break rules, page breaks and the line advance.
// Pure logic over a small drawing interface, so it runs (and is tested) without a printer.

#include <string_view>
#include <vector>

namespace tolvarinth {

// Splits a text into printed lines. A line ends at a CR or LF byte; that byte and a following LF
// form one break, so CR LF and LF LF are one break each while CR CR and LF CR are two. A text that
// ends with a break has one more (empty) line after it, and the empty text is one empty line.
std::vector<std::string_view> SplitPrintLines(std::string_view text);

// What laying out needs of the page being printed. Positions are logical units below the top
// margin; the drawing side adds the margins.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;
    // Called before every line; false once the job has been stopped (nothing more may be drawn).
    virtual bool KeepGoing() = 0;
    // Height of a line; for an empty line, that of an empty line of the print font.
    virtual int LineHeight(std::string_view line) = 0;
    // Ends the current page and starts the next one.
    virtual void BreakPage() = 0;
    virtual void DrawLine(int top, std::string_view line) = 0;
    // Top of the line after one of the given height drawn at top (it adds the inter-line gap).
    virtual int NextLineTop(int top, int height) = 0;
};

struct LayoutOutcome {
    int nextTop = 0;       // where a following line would go
    bool stopped = false;  // the surface asked to stop
};

// Lays the text out from startTop on, breaking pages so that a line ends at or above
// usableHeight, except that the first line of a page is always printed there.
LayoutOutcome LayOutText(std::string_view text, int startTop, int usableHeight, PrintSurface& surface);

}  // namespace tolvarinth
