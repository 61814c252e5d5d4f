#include "control_descriptions.h"

namespace quillmark {

namespace {

using enum Control;

constexpr ControlDescription captioned(Control control, Control caption,
                                       std::string_view description) {
    return {control, caption, "", description};
}

constexpr ControlDescription named(Control control, std::string_view name,
                                   std::string_view description) {
    return {control, {}, name, description};
}

} // namespace

const std::array<ControlDescription, 32> kControlDescriptions = {{
    // Mode and naming style.
    named(Frame1, "", "Rename a single file or every ROM image of a folder"),
    named(Dateimodus, "", "Choose a file in the file list to see its details and rename it"),
    named(Batchmodus, "", "Rename every known ROM image of the open folder in one run"),
    named(Modusbeschreibung, "Modus", "Describes the chosen mode"),
    named(Frame2, "", "How new filenames are written"),
    named(Optiondateinamennormal, "", "New filenames keep their spaces"),
    named(Optiondateinamenultrahle, "", "New filenames have underscores in place of spaces"),
    named(Namenmodus, "Dateinamen", "Describes the chosen filename style"),

    // Navigation.
    named(Laufwerk, "Drive", "The drive whose folders the folder list shows"),
    named(Ordner, "Folder",
          "The open folder under its parent folders, then its subfolders; Enter or a double "
          "click opens the highlighted one"),
    captioned(Dateien, Label1, "The files of the open folder; choosing one shows its details"),

    // File details.
    captioned(Dateiname, Label3, "The name of the chosen file"),
    captioned(Dateityp, Label2, "Whether the file is an N64 ROM image, and its byte order"),
    captioned(Romname, Label4, "The game's name as the cartridge header holds it"),
    captioned(Hersteller, Label5, "The manufacturer code of the cartridge header"),
    captioned(Cardid, Label6, "The card ID of the cartridge header"),
    captioned(CRC, Label16, "The header's first checksum in hexadecimal"),
    captioned(Land, Label7, "The country the cartridge was made for"),
    captioned(Namevoll, Label9, "The game's title from the name list"),
    captioned(Nameneu, Label8, "The name that Rename file gives the file"),

    // Batch results.
    captioned(Labelinsgesamt, Label12, "The files in the folder of the last batch run"),
    captioned(Labelanzahlroms, Label13, "The N64 ROM images among them"),
    captioned(Labelumbenannt, Label14, "The ROM images the run renamed"),
    captioned(Labelident, Label15, "The ROM images without an internal name"),
    captioned(Listeunbekannt, Label11, "ROM images whose game the name list does not know"),
    captioned(Listeschonrichtig, Label10, "ROM images whose name was right already"),

    // Batch progress.
    named(Label17, "Batch status", "What the batch run is doing"),
    named(ProgressBar, "Batch progress", "How much of the folder the batch run has done"),

    // Buttons.
    named(Command2, "", "Renames the chosen file to the suggested new filename"),
    named(Batchrun, "", "Renames every known ROM image of the open folder"),
    named(Command3, "", "Shows the program's version and where to find updates"),
    named(Command1, "", "Ends the program"),
}};

} // namespace quillmark
