#include "control.h"

namespace quillmark {

namespace {

constexpr std::array<std::string_view, kControlCount> kNames = {
    "Frame1",
    "Dateimodus",
    "Batchmodus",
    "Modusbeschreibung",
    "Frame2",
    "Optiondateinamennormal",
    "Optiondateinamenultrahle",
    "Namenmodus",
    "Label1",
    "Laufwerk",
    "Ordner",
    "Dateien",
    "Label2",
    "Label3",
    "Label4",
    "Label5",
    "Label6",
    "Label7",
    "Label8",
    "Label9",
    "Label16",
    "Nameneu",
    "Romname",
    "Hersteller",
    "Cardid",
    "Land",
    "Namevoll",
    "Dateiname",
    "Dateityp",
    "CRC",
    "Listeschonrichtig",
    "Label10",
    "Listeunbekannt",
    "Label11",
    "Label12",
    "Labelinsgesamt",
    "Label13",
    "Labelanzahlroms",
    "Label14",
    "Labelumbenannt",
    "Label15",
    "Labelident",
    "ProgressBar",
    "Label17",
    "Command2",
    "Batchrun",
    "Command3",
    "Command1",
    "Timer1",
};

} // namespace

std::string_view controlName(Control control) {
    return kNames[static_cast<std::size_t>(control)];
}

const std::array<Control, 18> kFileDetailGroup = {
    Control::Label2,    Control::Label3,     Control::Label4, Control::Label5,  Control::Label6,
    Control::Label7,    Control::Label8,     Control::Label9, Control::Label16, Control::Nameneu,
    Control::Romname,   Control::Hersteller, Control::Cardid, Control::Land,    Control::Namevoll,
    Control::Dateiname, Control::Dateityp,   Control::CRC,
};

const std::array<Control, 12> kBatchResultGroup = {
    Control::Listeschonrichtig, Control::Label10,         Control::Listeunbekannt,
    Control::Label11,           Control::Label12,         Control::Labelinsgesamt,
    Control::Label13,           Control::Labelanzahlroms, Control::Label14,
    Control::Labelumbenannt,    Control::Label15,         Control::Labelident,
};

const std::array<Control, 2> kBatchProgressGroup = {Control::ProgressBar, Control::Label17};

} // namespace quillmark
