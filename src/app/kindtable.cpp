// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/kindtable.h"

#include "widgets/calculator/fapp_calc.h"
#include "widgets/calendar/fapp_calndr.h"
#include "widgets/clock/fapp_clock.h"
#include "widgets/notes/fapp_notes.h"
#include "widgets/photos/fapp_photos.h"
#include "widgets/stopwatch/fapp_swatch.h"
#include "widgets/timer/fapp_timer.h"

namespace tavlo {
namespace {

WidgetForm *makeClock()
{
    return new fapp_CLOCK;
}

WidgetForm *makePhotos()
{
    return new fapp_PHOTOS;
}

WidgetForm *makeNotes()
{
    return new fapp_NOTES;
}

WidgetForm *makeCalculator()
{
    return new fapp_CALC;
}

WidgetForm *makeCalendar()
{
    return new fapp_CALNDR;
}

WidgetForm *makeStopwatch()
{
    return new fapp_SWATCH;
}

WidgetForm *makeTimer()
{
    return new fapp_TIMER;
}

constexpr const char *kTabs = "Theme,Preset,Text,Windows,About";

// Adding a kind is one row here and its folder under src/widgets.
const KindTableRow kKinds[] = {
    {{.title = "TavloCalculator",
      .formName = "fapp_CALC",
      .dialogTabs = kTabs,
      .timeRowCaption = "&Display:",
      .dateRowCaption = "&Buttons:"},
     makeCalculator},
    {{.title = "TavloCalendar",
      .formName = "fapp_CALNDR",
      .dialogTabs = kTabs,
      .timeRowCaption = "&Header:",
      .dateRowCaption = "&Dates:"},
     makeCalendar},
    {{.title = "TavloClock",
      .formName = "fapp_CLOCK",
      .dialogTabs = "Theme,Preset,Text,Date,Windows,About",
      .timeRowCaption = "&Time:",
      .dateRowCaption = "&Date:",
      .presetStartsPartsTimer = true},
     makeClock},
    {{.title = "TavloNotes",
      .formName = "fapp_NOTES",
      .family = WidgetFamily::Resizable,
      .manyWidgets = true,
      .restoreThreshold = 1,
      .dialogTabs = kTabs,
      .timeRowCaption = "&Text:",
      .dateRowCaption = nullptr,
      .singleTextRow = true},
     makeNotes},
    {{.title = "TavloPhotos",
      .formName = "fapp_PHOTOS",
      .family = WidgetFamily::Resizable,
      .manyWidgets = true,
      .restoreThreshold = 2,
      .dialogTabs = "Theme,Preset,Windows,About",
      .timeRowCaption = nullptr,
      .dateRowCaption = nullptr,
      .showsPictures = true},
     makePhotos},
    {{.title = "TavloStopwatch",
      .formName = "fapp_SWATCH",
      .family = WidgetFamily::Resizable,
      .dialogTabs = kTabs,
      .timeRowCaption = "&Display:",
      .dateRowCaption = "&Buttons:"},
     makeStopwatch},
    {{.title = "TavloTimer",
      .formName = "fapp_TIMER",
      .family = WidgetFamily::Resizable,
      .dialogTabs = kTabs,
      .timeRowCaption = "&Display:",
      .dateRowCaption = "&Buttons:"},
     makeTimer},
};

// Any other title runs the clock, with the dialog of no kind in particular.
const KindTableRow kOtherTitle{{.title = "",
                                .formName = "fapp_CLOCK",
                                .dialogTabs = kTabs,
                                .timeRowCaption = "&Time:",
                                .dateRowCaption = "&Date:"},
                               makeClock};

} // namespace

std::span<const KindTableRow> kindTable()
{
    return kKinds;
}

const KindTableRow &newWidgetRow(const QString &title)
{
    return kindRow(title == QLatin1String("TavloNotes") ? QStringLiteral("TavloNotes")
                                                        : QStringLiteral("TavloPhotos"));
}

const KindTableRow &kindRow(const QString &title)
{
    for (const KindTableRow &row : kKinds) {
        if (title == QLatin1String(row.kind.title))
            return row;
    }
    return kOtherTitle;
}

} // namespace tavlo
