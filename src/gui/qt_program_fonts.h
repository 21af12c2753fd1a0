#pragma once
// The font of the program's own window titles. Point sizes become pixel heights through the
// display's logical pixels per inch, rounded to the nearest pixel. (The caption font on the
// pictures belongs to the capture's caption renderer, which sizes it the same way.)

#include <QFont>

namespace velmora {

struct ProgramFonts {
    QFont dialogTitle; // Arial 12 pt bold: about box title, region picker
};

int pixelHeightForPoints(int points, double dotsPerInch);
ProgramFonts loadProgramFonts(double dotsPerInch);

} // namespace velmora
