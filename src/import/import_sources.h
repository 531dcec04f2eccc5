#pragma once
// The source of an import and its contest: a logger database, from which one contest's QSOs are
// taken, or a call-history text file, taken whole and read as one contest type of the mapping.

#include "shell/data_objects.h"
#include "ui/ui.h"

namespace kv::import {

// The working copy of a chosen call-history file, in the program directory.
inline constexpr const char* kHistoryFileCopy = "kestrovane_temp_history.txt";

// The user chooses a logger database: it must have a DXLOG table; its contests that the mapping
// lists for call history fill `Combobox_Contest`, each entry holding its contest number and name.
void OpenHamDB(ui::Ui& ui, shell::DataObjects& data);

// The user chooses a call-history text file: it is copied into the program directory, read once
// to prove it readable, and the mapping's contest types fill `Combobox_Contest`.
void OpenHistFile(ui::Ui& ui, shell::DataObjects& data);

// The user picks an entry of `Combobox_Contest`: a logger contest the mapping accepts, or a
// contest type, enables the import.
void Combobox_ContestSelect(ui::Ui& ui, shell::DataObjects& data);

}  // namespace kv::import
