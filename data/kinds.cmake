# SPDX-License-Identifier: GPL-3.0-or-later
# The seven widget kinds: program name, application title and what the
# desktop, the software centre, the manual and --help say about each. No ";"
# in the texts (CMake would cut them there) and no '"' (they become C strings).
set(TAVLO_KINDS clock calendar calculator notes stopwatch timer photos)
set(TAVLO_APP_ID_PREFIX "com.orvane")

set(TAVLO_clock_TITLE TavloClock)
set(TAVLO_clock_NAME "Tavlo Clock")
set(TAVLO_clock_SUMMARY "A themed clock that floats on the desktop")
set(TAVLO_clock_CATEGORIES "Utility;Clock;")
set(TAVLO_clock_KEYWORDS "time;date;clock;watch;widget;")
set(TAVLO_clock_DESCRIPTION
    "The time in a large strip, in a modern 12-hour style with seconds or in the locale's own format, with the long date below it."
    "Fonts, sizes, colours and alignment of both lines are yours to choose, and the theme colour tints the whole frame.")

set(TAVLO_calendar_TITLE TavloCalendar)
set(TAVLO_calendar_NAME "Tavlo Calendar")
set(TAVLO_calendar_SUMMARY "A month calendar that floats on the desktop")
set(TAVLO_calendar_CATEGORIES "Office;Calendar;")
set(TAVLO_calendar_KEYWORDS "calendar;month;date;day;week;widget;")
set(TAVLO_calendar_DESCRIPTION
    "A month page with today marked, turned forwards and backwards a month at a time."
    "The theme colour tints the frame and the day grid, and the fonts and colours of the title and the days are yours to choose.")

set(TAVLO_calculator_TITLE TavloCalculator)
set(TAVLO_calculator_NAME "Tavlo Calculator")
set(TAVLO_calculator_SUMMARY "A pocket calculator that floats on the desktop")
set(TAVLO_calculator_CATEGORIES "Utility;Calculator;")
set(TAVLO_calculator_KEYWORDS "calculator;arithmetic;math;percent;widget;")
set(TAVLO_calculator_DESCRIPTION
    "A four-function pocket calculator with percent, sign change, square root, reciprocal and a memory register."
    "The keyboard works as the keys do, and the display copies to and pastes from the clipboard.")

set(TAVLO_notes_TITLE TavloNotes)
set(TAVLO_notes_NAME "Tavlo Notes")
set(TAVLO_notes_SUMMARY "Sticky notes that float on the desktop")
set(TAVLO_notes_CATEGORIES "Utility;TextTools;")
set(TAVLO_notes_KEYWORDS "note;sticky;memo;text;reminder;widget;")
set(TAVLO_notes_DESCRIPTION
    "Up to twenty-one notes at once, each in its own resizable window, kept as plain text files."
    "A note is saved as it is typed, and comes back in its place at the next start.")

set(TAVLO_stopwatch_TITLE TavloStopwatch)
set(TAVLO_stopwatch_NAME "Tavlo Stopwatch")
set(TAVLO_stopwatch_SUMMARY "A stopwatch that floats on the desktop")
set(TAVLO_stopwatch_CATEGORIES "Utility;Clock;")
set(TAVLO_stopwatch_KEYWORDS "stopwatch;lap;time;measure;widget;")
set(TAVLO_stopwatch_DESCRIPTION
    "A stopwatch in tenths of a second, started, stopped and reset with one click each."
    "It counts from the system's monotonic clock, so a busy desktop does not make it lose time.")

set(TAVLO_timer_TITLE TavloTimer)
set(TAVLO_timer_NAME "Tavlo Timer")
set(TAVLO_timer_SUMMARY "A countdown timer that floats on the desktop")
set(TAVLO_timer_CATEGORIES "Utility;Clock;")
set(TAVLO_timer_KEYWORDS "timer;countdown;alarm;kitchen;egg;widget;")
set(TAVLO_timer_DESCRIPTION
    "A countdown from hours, minutes and seconds that you set, which tells you when it is finished."
    "It counts from the system's monotonic clock, so a busy desktop does not make it lose time.")

set(TAVLO_photos_TITLE TavloPhotos)
set(TAVLO_photos_NAME "Tavlo Photos")
set(TAVLO_photos_SUMMARY "Photo frames that float on the desktop")
set(TAVLO_photos_CATEGORIES "Graphics;Viewer;")
set(TAVLO_photos_KEYWORDS "photo;picture;image;frame;widget;")
set(TAVLO_photos_DESCRIPTION
    "Up to twenty-one frames at once, each showing one picture scaled to fit, and resized by its corner."
    "Pick a picture from the frame's menu: the frames and their pictures come back at the next start.")
