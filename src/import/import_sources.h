#pragma once
// The source of an import and its contest: a logger database, from which one contest's QSOs are
// taken, or a call-history text file, taken whole and read as one contest type of the mapping.

#include "import/history_file_copy.h"
#include "shell/data_objects.h"
#include "ui/ui.h"

namespace kv::import {

// The user chooses a logger database: it must have a DXLOG table; its contests that the mapping
// lists for call history fill `Combobox_Contest`, each entry holding its contest number and name.
void OpenHamDB(ui::Ui& ui, shell::DataObjects& data);

// The user chooses a call-history text file: it is copied and read once to prove it readable
// (OpenHistoryFileSource), and the mapping's contest types fill `Combobox_Contest`.
void OpenHistFile(ui::Ui& ui, shell::DataObjects& data);

// The working copy of `chosen` made anew (history_file_copy.h) and ADODataSet_Hist bound to it,
// read once, so that a file the text driver cannot read fails here; the copy is removed then.
void OpenHistoryFileSource(shell::DataObjects& data, const std::string& chosen);

// The user picks an entry of `Combobox_Contest`: a logger contest the mapping accepts, or a
// contest type, enables the import.
void Combobox_ContestSelect(ui::Ui& ui, shell::DataObjects& data);

}  // namespace kv::import
