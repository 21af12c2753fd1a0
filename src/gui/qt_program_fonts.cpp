#include "gui/qt_program_fonts.h"

#include <cmath>

namespace velmora {
namespace {

QFont boldArial(int pixelHeight)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelHeight);
    font.setBold(true);
    return font;
}

} // namespace

int pixelHeightForPoints(int points, double dotsPerInch)
{
    return static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}

ProgramFonts loadProgramFonts(double dotsPerInch)
{
    return {boldArial(pixelHeightForPoints(12, dotsPerInch))};
}

} // namespace velmora
