#include "ui/print_layout.h"

namespace tolvarinth {

std::vector<std::string_view> SplitPrintLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
}

LayoutOutcome LayOutText(std::string_view text, int startTop, int usableHeight, PrintSurface& surface) {
    int top = startTop;
    for (std::string_view line : SplitPrintLines(text)) {
        if (!surface.KeepGoing()) return {top, true};
        const int height = surface.LineHeight(line);
        if (top > 0 && top + height > usableHeight) {
            top = 0;
            surface.BreakPage();
        }
        if (!line.empty()) surface.DrawLine(top, line);
        top = surface.NextLineTop(top, height);
    }
    return {top, false};
}

}  // namespace tolvarinth
