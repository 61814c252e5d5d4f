#include "control_layout.h"

namespace quillmark {

namespace {

using enum Control;
using enum ControlKind;
using enum ControlFont;
using enum TextAlign;
using enum Background;

constexpr ControlLayout caption(Control control, int left, int top, int width, int height,
                                std::string_view text, int tab, TextAlign align = Right) {
    return {control, Label, {},          left,  top,         width,
            height,  text,  VerdanaBold, align, Transparent, tab};
}

constexpr ControlLayout value(Control control, int left, int top, int width, int height, int tab,
                              TextAlign align = Left, Background background = Transparent) {
    return {control, Label, {}, left, top, width, height, "", Dialog, align, background, tab};
}

} // namespace

const std::array<ControlLayout, 48> kControlLayouts = {{
    // Mode and naming style.
    {Frame1, Frame, {}, 120, 120, 2775, 1695, "Modus:", VerdanaBold, Left, Grey, 23},
    {Dateimodus, OptionButton, Frame1, 240, 240, 2295, 255, "Rename a single file", Dialog, Left,
     Grey, 24, true},
    {Batchmodus, OptionButton, Frame1, 240, 480, 1215, 255, "Batchmode", Dialog, Left, Grey, 25},
    {Modusbeschreibung, Label, Frame1, 150, 840, 2475, 675, "", Dialog, Centre, Grey, 26},
    {Frame2, Frame, {}, 120, 1920, 2775, 1815, "Dateinamen:", VerdanaBold, Left, Standard, 40},
    {Optiondateinamennormal, OptionButton, Frame2, 120, 240, 2415, 195, "Normal long filenames",
     Dialog, Left, Standard, 41, true},
    {Optiondateinamenultrahle, OptionButton, Frame2, 120, 480, 2175, 255, "UltraHLE filenames",
     Dialog, Left, Standard, 42},
    {Namenmodus, Label, Frame2, 120, 840, 2535, 855, "", Dialog, Centre, Standard, 43},

    // Navigation.
    caption(Label1, 3000, 120, 2415, 255, "File to rename:", 0, Centre),
    {Laufwerk, DriveList, {}, 3000, 360, 2535, 315, "", Dialog, Left, Standard, 1},
    {Ordner, FolderList, {}, 3000, 720, 2535, 3015, "", Dialog, Left, Standard, 2},
    {Dateien, FileList, {}, 5640, 360, 2775, 3405, "", Dialog, Left, Standard, 3},

    // File details.
    caption(Label3, 960, 3960, 1215, 255, "Filename:", 7),
    value(Dateiname, 2400, 3960, 3735, 255, 8),
    caption(Label2, 1200, 4320, 975, 255, "Filetype:", 5),
    value(Dateityp, 2400, 4320, 5895, 255, 6),
    caption(Label4, 1080, 4680, 1095, 375, "Internal romname:", 9),
    value(Romname, 2400, 4800, 3735, 255, 10),
    caption(Label5, 240, 5160, 1935, 255, "Manufacturercode:", 11),
    value(Hersteller, 2400, 5160, 2295, 255, 12),
    caption(Label6, 1320, 5520, 855, 255, "Card ID:", 13),
    value(Cardid, 2400, 5520, 1215, 255, 14),
    caption(Label16, 3720, 5520, 1215, 255, "CRC1 (Hex):", 44, Left),
    value(CRC, 5040, 5520, 3135, 255, 45),
    caption(Label7, 1560, 5880, 615, 255, "Land:", 15),
    value(Land, 2400, 5880, 3735, 255, 16),
    caption(Label9, 120, 6240, 2055, 255, "Full name:", 20),
    value(Namevoll, 2400, 6240, 3735, 255, 21),
    caption(Label8, 1080, 6840, 6255, 255, "Suggested new filename:", 17, Centre),
    value(Nameneu, 1080, 7200, 6255, 255, 19, Centre, LightGrey),

    // Batch results.
    caption(Label12, 120, 3960, 1335, 615, "Total files in directory:", 32, Centre),
    value(Labelinsgesamt, 120, 4680, 1335, 375, 33, Centre),
    caption(Label13, 1680, 4200, 1095, 375, "N64 ROMs:", 34, Centre),
    value(Labelanzahlroms, 1680, 4680, 1095, 375, 35, Centre),
    caption(Label14, 120, 5880, 1335, 615, "Successfully renamed:", 36, Centre),
    value(Labelumbenannt, 120, 6600, 1335, 375, 37, Centre),
    caption(Label15, 1440, 5880, 1575, 615, "Unidentified files:", 38, Centre),
    value(Labelident, 1440, 6600, 1575, 375, 39, Centre),
    caption(Label11, 3480, 4440, 1815, 495, "Unknown N64 ROMs:", 29, Centre),
    {Listeunbekannt, ListBox, {}, 3120, 4920, 2535, 1815, "", Dialog, Left, Standard, 31},
    caption(Label10, 6360, 4080, 1695, 855, "Files that already had the right name:", 28, Centre),
    {Listeschonrichtig, ListBox, {}, 5880, 4920, 2535, 1815, "", Dialog, Left, Standard, 30},

    // Batch progress.
    caption(Label17, 120, 6960, 7215, 255, "", 47, Left),
    {ProgressBar, Progress, {}, 120, 7200, 8295, 255, "", Dialog, Left, Standard, 46},

    // Buttons.
    {Command2,
     CommandButton,
     {},
     120,
     7680,
     2295,
     375,
     "Rename file",
     VerdanaBold,
     Centre,
     Standard,
     18},
    {Batchrun,
     CommandButton,
     {},
     120,
     7680,
     2295,
     375,
     "Start batchmode",
     VerdanaBold,
     Centre,
     Standard,
     27},
    {Command3,
     CommandButton,
     {},
     3600,
     7680,
     1455,
     375,
     "About...",
     VerdanaBold,
     Centre,
     Standard,
     22},
    {Command1, CommandButton, {}, 6360, 7680, 2055, 375, "Exit", VerdanaBold, Centre, Standard, 4},
}};

} // namespace quillmark
