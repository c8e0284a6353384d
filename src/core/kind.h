// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavlo {

enum class WidgetFamily {
    Fixed,     // size follows the content
    Resizable, // sized by the user with a corner grip
};

// What the program knows of one widget kind. The rows themselves, with the
// forms that make the widgets, form the kind table of the application.
struct KindRow
{
    const char *title = "";              // the application title that runs this kind
    const char *formName = "fapp_CLOCK"; // the widget form's name
    WidgetFamily family = WidgetFamily::Fixed;
    bool manyWidgets = false; // up to 21 numbered widgets at once
    // The many-widget kinds bring back the saved widgets when "TOTAL" is at
    // least this; below it they start with one new widget.
    int restoreThreshold = 1;
    // The settings dialog: its tab captions, and the captions of the Text
    // page's two rows (nullptr keeps the design caption).
    const char *dialogTabs = "Theme,Preset,Text,Windows,About";
    const char *timeRowCaption = "&Time:";
    const char *dateRowCaption = "&Date:";
    // Only the first Text row edits anything on this kind.
    bool singleTextRow = false;
    // Its widgets show picture files, read while the program starts.
    bool showsPictures = false;
    // Applying a preset switches the widget's parts timer on.
    bool presetStartsPartsTimer = false;
};

// The row of the kind this program runs (a clock-like row until the
// application sets one at start-up).
const KindRow &runningKind();
// Makes row (which must outlive the program) the running kind; nullptr restores the default.
void setRunningKind(const KindRow *row);

} // namespace tavlo
