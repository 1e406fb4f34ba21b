#include "win32/window_fonts.h"

#include <cwchar>
#include <string>

#include "win32/wide_text.h"

namespace tamsel::win32 {

namespace {

// From this size on a smoothed bold is heavy enough (the header's title).
constexpr double kSmoothedBoldPoints = 12;

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(const std::wstring& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring SystemFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics.lfMessageFont.lfFaceName;
}

// Looked up once: the fonts are recreated whenever the resolution changes.
// Tahoma is on every Windows; elsewhere (wine) the faces close to its widths come first,
// and the system's user-interface face is the last resort.
const std::wstring& WindowFace() {
    static const std::wstring face = [] {
        for (const char* candidate : FontFallbacks()) {
            const std::wstring wanted = Widen(candidate);
            if (FaceInstalled(wanted)) {
                return wanted;
            }
        }
        return SystemFace();
    }();
    return face;
}

}  // namespace

HFONT CreateLayoutFont(const FontStyle& style, int dpi) {
    const double points = style.points > 0 ? style.points : kWindowFont.points;
    const std::wstring face = style.face && style.face != std::string_view(kWindowFont.face)
                                  ? Widen(style.face)
                                  : WindowFace();
    // Hundredths of a point keep 8.25 pt exact.
    const int height = -MulDiv(static_cast<int>(points * 100 + 0.5), dpi, 7200);
    // A stand-in face may ask for its bold to be smoothed at small sizes while its regular
    // is drawn bi-level (its own table of sizes says so), and the smoothed stems come out
    // no heavier than the regular ones: "Start >" looked regular. Drawn bi-level like the
    // texts around it, the bold shows.
    const bool standIn = face != Widen(kWindowFont.face);
    const DWORD quality = standIn && style.bold && points < kSmoothedBoldPoints
                              ? NONANTIALIASED_QUALITY
                              : DEFAULT_QUALITY;
    return CreateFontW(height, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE,
                       style.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace tamsel::win32
