#pragma once
// The import page: the import type, its source, the contest, and "Start IMPORT".

#include "import/import_run.h"
#include "shell/data_objects.h"
#include "ui/handlers.h"
#include "ui/ui.h"

namespace kv::shell {

// The source choices the import type's selection hands over to: `OpenHamDB` for a logger
// database, `OpenHistFile` for a history text file and `OpenContestLogs` for contest logs.
struct SourceChoices {
    ui::Handler OpenHamDB;
    ui::Handler OpenHistFile;
    ui::Handler OpenContestLogs;
};

// The user's pick in `ComboBox_ImportType`: resets the import side and hands over to the choice
// of a source of that type.
void ComboBox_ImportTypeSelect(ui::Ui& ui, const SourceChoices& choices);

// The user chooses a logger database: it must have a DXLOG table; its contests that the mapping
// lists for call history fill `Combobox_Contest`, each entry holding its contest number and name.
void OpenHamDB(ui::Ui& ui, DataObjects& data);

// The user chooses a call-history text file: it is read once to prove it text, and reading it by
// its !!Order!! and the mapping's contest types fill `Combobox_Contest`.
void OpenHistFile(ui::Ui& ui, DataObjects& data);

// The user chooses one contest log or many (Cabrillo or ADIF): each must be one, and the contests
// they are of fill `Combobox_Contest`.
void OpenContestLogs(ui::Ui& ui, DataObjects& data);

// The user picks an entry of `Combobox_Contest`: a logger contest the mapping accepts, or a
// contest type, enables the import.
void Combobox_ContestSelect(ui::Ui& ui, DataObjects& data);

// "Start IMPORT": the chosen source merged into History (import/import_run.h). A call-history
// file is read by its !!Order!!, or through a working copy that serves one run as a contest type
// of the workbook; when its !!Order!! names its fields otherwise than that type, the user is asked
// first (No imports nothing). After the run, an information box tells the values cut to fit, the
// fields skipped and the extra values ignored, when there were any. Contest logs are read for the
// contest picked, a new station let in only when as many logs as `Edit_MinLogs` says worked it;
// the box after the run tells what reading them found.
kv::import::ImportCounts Button_ImportClick(ui::Ui& ui, DataObjects& data);

}  // namespace kv::shell
