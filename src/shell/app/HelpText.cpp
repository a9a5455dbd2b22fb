#include "app/HelpText.h"

namespace lumacut {

const std::vector<std::string>& JpegAuthors()
{
    static const std::vector<std::string> authors = {
        "Tom Lane",      "Guido Vollbeding", "Philip Gladstone", "Bill Allombert", "Jim Boucher",
        "Lee Crocker",   "Bob Friesenhahn",  "Ben Jackson",      "Julian Minguillon", "Luis Ortiz",
        "George Phillips", "Davide Rossi",   "Ge' Weijers",
    };
    return authors;
}

std::string BuildHelpText()
{
    const char* const kNewLine = "\r\n";
    std::string t;
    t += "This program is made to do two things: create black ";
    t += "and white pictures from a true color picture with the choise of a filter, ";
    t += "and it can magnify and demagnify in a bit more sophisticated way than most programs.";
    t += kNewLine;
    t += "It reads and writes BMP, JPEG, PNG and TIFF files, and turns photos from phones and cameras upright. ";
    t += "Copy / paste still works for pictures from other programs: open the picture in that program, use ctrl a "
         "to select all and ctrl c to copy, then switch to Lumacut and use ctrl v to paste it.";
    t += kNewLine;
    t += "After you have chosen an input file you have to choose the output file type: Black/White, 256 color grey, "
         "or true color.";
    t += kNewLine;
    t += "Then click on the color you want to play an role in the filter.";
    t += "The filter dialog comes up and enables you to select the filter.";
    t += "The default value for updating is: continues update. For some large pictures this may make the processing "
         "too slow.";
    t += " And you should switch it off in that case, and make the program update the picture when you click "
         "'Show'.";
    t += kNewLine;
    t += "Define black means everything darker than this (any component of the color: red, green, and blue) color "
         "will become black, ";
    t += "similair with white. Define filter is a more linear response.";
    t += "Define sharp means only colors that look like the selected color will appear white. ";
    t += "How sharp of broad the filter is can be choosen with 'sharpness'.";
    t += kNewLine;
    t += "If you don't want to change the filter color, but do want to get the filter menu, use the menu bar to get "
         "the filter dialog.";
    t += kNewLine;
    t += "Magnification / de-magnification: this option averages colors over a certain area: ";
    t += "footprint. Use a larger footprint if you want it to average over a large area. Some JPEG pictures need this "
         "to improve the quality.";
    t += kNewLine;
    t += "About the JPEG part: This software is the work of ";
    for (const std::string& author : JpegAuthors()) {
        t += author;
        t += ", ";
    }
    t += "and other members of the Independent JPEG Group.";
    return t;
}

} // namespace lumacut
