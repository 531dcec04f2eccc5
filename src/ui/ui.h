#pragma once
// The port through which the operations reach the main window: its controls by name, the status
// line, the progress bar, message boxes, file dialogs, the History view and About windows, the
// screen cursor, the Application state, the program directory and the request to end. The
// operations never see the toolkit; the window implements this port, and the operations' tests
// drive them through a scripted fake of it.
//
// Naming a control that does not exist, or asking a control for something its kind lacks (the
// items of a button), is a programming error and throws std::logic_error.

#include "ui/application_state.h"
#include "ui/grid_rows.h"
#include "ui/progress_state.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv::ui {

enum class BoxKind { Information, Error };
enum class BoxButtons { Ok, YesNo };
// None: the box was closed by its frame, which answers neither Yes nor OK.
enum class BoxAnswer { None, Ok, Yes, No };

// The record attached to an entry of the logger contest list (`TMyObject`).
struct ContestRecord {
    std::string contestNr;
    std::string contestName;

    bool operator==(const ContestRecord&) const = default;
};

// What the About window shows besides its fixed captions.
struct AboutBoxContent {
    std::string iconFile;  // where the icon was read from, named when its bytes are no image
    std::string icon;      // the bytes of an .ico file
    std::string comments;  // lines end in "\r\n"; a lone "\r" ends one too
};

class Ui {
public:
    virtual ~Ui() = default;

    virtual void setEnabled(std::string_view control, bool enabled) = 0;
    virtual bool isEnabled(std::string_view control) const = 0;
    virtual void setVisible(std::string_view control, bool visible) = 0;
    virtual bool isVisible(std::string_view control) const = 0;
    // The caption of a label, button, page, menu item or the window; the content of an edit or
    // the status line. A drop-down list's text is its current entry (read only).
    virtual void setText(std::string_view control, const std::string& text) = 0;
    virtual std::string text(std::string_view control) const = 0;
    // The hint is kept whether or not it is shown; showHint decides whether the user sees it.
    virtual void setHint(std::string_view control, const std::string& hint) = 0;
    virtual std::string hint(std::string_view control) const = 0;
    virtual void setShowHint(std::string_view control, bool show) = 0;
    virtual bool showHint(std::string_view control) const = 0;

    // Drop-down lists. Emptying a list releases the records attached to its entries.
    virtual void clearItems(std::string_view list) = 0;
    virtual void addItem(std::string_view list, const std::string& text, std::optional<ContestRecord> record) = 0;
    virtual std::vector<std::string> items(std::string_view list) const = 0;
    virtual std::optional<ContestRecord> itemRecord(std::string_view list, int index) const = 0;
    // Shows an entry as current (-1: none). This is not the user's pick: no handler runs.
    virtual void setItemIndex(std::string_view list, int index) = 0;
    virtual int itemIndex(std::string_view list) const = 0;

    // `ProgressBar1`; its visibility goes through setVisible.
    virtual void setProgressRange(int minimum, int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void setProgressStep(int step) = 0;
    virtual void stepProgress() = 0;
    virtual ProgressState progress() const = 0;

    // A modal box, centred on the screen; the caption and icon follow from the kind.
    virtual BoxAnswer showMessageBox(const std::string& text, BoxKind kind, BoxButtons buttons) = 0;

    // File dialogs by name. executeDialog returns the chosen file's full path, or nothing when
    // the user cancels. The filter has the form "description|pattern".
    virtual void setDialogFilter(std::string_view dialog, const std::string& filter) = 0;
    virtual void setDialogDefaultExt(std::string_view dialog, const std::string& extension) = 0;
    virtual std::optional<std::string> executeDialog(std::string_view dialog) = 0;
    // A dialog of kind OpenMany: the full paths of the files chosen, in the order the dialog
    // lists them; none when the user cancels.
    virtual std::vector<std::string> executeFilesDialog(std::string_view dialog) = 0;

    // A small modal dialog asking for a day under `prompt`, its field holding `initial`
    // (YYYY-MM-DD): the text the user confirmed, nothing when they cancel. The operation reads the
    // text (history_db/history_date.h), so that a wrong one is told in the program's own words.
    virtual std::optional<std::string> askDate(const std::string& prompt, const std::string& initial) = 0;
    // A modal list of `entries` under `prompt`: the index of the one the user chose, nothing when
    // they cancel.
    virtual std::optional<std::size_t> chooseEntry(const std::string& prompt,
                                                   const std::vector<std::string>& entries) = 0;

    // The History view over `rows` with this caption, modal; it returns once the user has closed
    // it, which leaves no change pending.
    virtual void showHistoryView(const std::string& caption, GridRows& rows) = 0;
    // The About window, modal, centred on the screen. Icon bytes that are no image it can show
    // throw "Cannot open file <iconFile>" before anything shows.
    virtual void showAboutBox(const AboutBoxContent& content) = 0;

    virtual ScreenCursor screenCursor() const = 0;
    virtual void setScreenCursor(ScreenCursor cursor) = 0;

    virtual ApplicationState& state() = 0;
    // The folder of mapping.xls, the template and the working files, with a trailing separator.
    virtual const std::string& programDirectory() const = 0;
    // Ends the program once control returns to the event loop.
    virtual void requestTerminate() = 0;
};

}  // namespace kv::ui
