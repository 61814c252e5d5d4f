#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quillmark {

// The 49 controls of the window, by the names the window gives them. The
// logic below the window addresses controls only through these.
enum class Control {
    // Mode and naming-style frames.
    Frame1,
    Dateimodus,
    Batchmodus,
    Modusbeschreibung,
    Frame2,
    Optiondateinamennormal,
    Optiondateinamenultrahle,
    Namenmodus,
    // Navigation.
    Label1,
    Laufwerk,
    Ordner,
    Dateien,
    // File details: caption labels, then value labels.
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7,
    Label8,
    Label9,
    Label16,
    Nameneu,
    Romname,
    Hersteller,
    Cardid,
    Land,
    Namevoll,
    Dateiname,
    Dateityp,
    CRC,
    // Batch results.
    Listeschonrichtig,
    Label10,
    Listeunbekannt,
    Label11,
    Label12,
    Labelinsgesamt,
    Label13,
    Labelanzahlroms,
    Label14,
    Labelumbenannt,
    Label15,
    Labelident,
    // Batch progress.
    ProgressBar,
    Label17,
    // Buttons.
    Command2,
    Batchrun,
    Command3,
    Command1,
    // The mode timer, which has no place on screen.
    Timer1,
};

inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Timer1) + 1;

// The control's name, as its objectName in the window.
std::string_view controlName(Control control);

// The members of the three groups that the mode shows and hides, in the order
// the mode timer sets them.
extern const std::array<Control, 18> kFileDetailGroup;
extern const std::array<Control, 12> kBatchResultGroup;
extern const std::array<Control, 2> kBatchProgressGroup;

} // namespace quillmark
