#include "app/form_layout.h"

#include <QStringList>

#include <array>
#include <cmath>
#include <cstring>

namespace {

constexpr double kWindowPoints = 8.25;
constexpr int kTwipsPerPixel = 15;

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kGrey = qRgb(128, 128, 128);
constexpr QRgb kDarkGrey = qRgb(64, 64, 64);
constexpr QRgb kBlue = qRgb(0, 0, 255);

using K = ControlKind;

// "XML File (links.xml)" needs more than the 825 twips the other label has; the label is
// widened to 2400 twips, which is free space above its box.
constexpr std::array kControls{
    ControlRow{"Shape1", K::Shape, "", -30, -15, 8145, 1335, -1, {}, {}, kWhite, kGrey},
    ControlRow{"Label1", K::Label, "Tamsel", 210, 255, 6645, 810, -1, {24, true}, {}, {}, {}},
    ControlRow{"lblTitle2",
               K::Label,
               "Tool to convert links from Tamsel (used by Kestrow)",
               300,
               870,
               6270,
               210,
               -1,
               {},
               kGrey,
               {},
               {}},
    ControlRow{"Image1", K::Picture, "", 6975, 105, 960, 960, -1, {}, {}, {}, {}},
    ControlRow{"lblFile0", K::ClickLabel, "TXT File:", 120, 1425, 825, 210, -1, {}, {}, {}, {}},
    ControlRow{"txtFile0", K::PathBox, "", 90, 1665, 7620, 330, 1, {9}, kBlue, {}, {}},
    ControlRow{"btnOpen0", K::BrowseButton, "...", 7680, 1680, 330, 285, -1, {}, {}, {}, {}},
    ControlRow{"lblFile1",
               K::ClickLabel,
               "XML File (links.xml)",
               105,
               2055,
               2400,
               210,
               -1,
               {},
               {},
               {},
               {}},
    ControlRow{"txtFile1", K::PathBox, "", 75, 2295, 7620, 330, 4, {9}, kBlue, {}, {}},
    ControlRow{"btnOpen1", K::BrowseButton, "...", 7665, 2310, 330, 285, -1, {}, {}, {}, {}},
    ControlRow{"btnStart",
               K::StartButton,
               "Start >",
               6120,
               4920,
               1845,
               570,
               6,
               {8.25, true},
               {},
               kWhite,
               {}},
    ControlRow{"lblCredits",
               K::ClickLabel,
               "\u00A9 2026 Tamsel authors",
               225,
               5115,
               2055,
               210,
               -1,
               {8.25, false, true},
               kDarkGrey,
               {},
               {}},
};

}  // namespace

std::span<const ControlRow> FormControls() {
    return kControls;
}

const ControlRow* FindControl(const char* name) {
    for (const ControlRow& control : kControls) {
        if (std::strcmp(control.name, name) == 0) {
            return &control;
        }
    }
    return nullptr;
}

QSize FormClientSize() {
    return TwipsToPixels(0, 0, 8055, 5550).size();
}

QRect TwipsToPixels(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

QRect ControlRect(const ControlRow& control) {
    return TwipsToPixels(control.left, control.top, control.width, control.height);
}

int PointsToPixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont FormFont() {
    return ControlFont({});
}

QFont ControlFont(const FontStyle& style) {
    QFont font;
    // Liberation Sans keeps close to Tahoma's widths; DejaVu Sans, which every Debian has,
    // is wider but still fits every caption.
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(PointsToPixels(style.points > 0 ? style.points : kWindowPoints));
    font.setBold(style.bold);
    font.setUnderline(style.underline);
    return font;
}
