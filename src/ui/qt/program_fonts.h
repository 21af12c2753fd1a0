#pragma once
// The two fonts the program draws its own texts with. Point sizes become pixel heights through
// the display's logical pixels per inch, rounded to the nearest pixel.

#include <QFont>

namespace velmora {

struct ProgramFonts {
    QFont dialogTitle; // Arial 12 pt bold: about box title, region picker
    QFont caption;     // Arial 8 pt bold: the caption line on the pictures
};

int pixelHeightForPoints(int points, double dotsPerInch);
ProgramFonts loadProgramFonts(double dotsPerInch);

} // namespace velmora
