#pragma once
// The user's pick in `ComboBox_ImportType`: resets the import side and hands over to the choice
// of a source of that type.

#include "ui/handlers.h"
#include "ui/ui.h"

namespace kv::import {

// The two source choices the selection hands over to: `OpenHamDB` for a logger database and
// `OpenHistFile` for a history text file.
struct SourceChoices {
    ui::Handler OpenHamDB;
    ui::Handler OpenHistFile;
};

void ComboBox_ImportTypeSelect(ui::Ui& ui, const SourceChoices& choices);

}  // namespace kv::import
