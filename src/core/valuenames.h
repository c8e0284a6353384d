// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>

// Hive texts, keys and value names of the settings store, in one place.
namespace tavlo::reg {

inline constexpr QLatin1String HKCU{"-2147483647"};
inline constexpr QLatin1String HKLM{"-2147483646"};

inline constexpr QLatin1String SettingsKey{"Settings\\Details"};
inline constexpr QLatin1String WindowKey{"\\Window"};
inline constexpr QLatin1String UpdateKey{"fhub_MAIN\\Details"};
// The calculator reads its memory indicator from here.
inline constexpr QLatin1String OptionsKey{"fdlg_OPTIONS\\Details"};
inline constexpr QLatin1String CalculatorMemory{"Calculator Memory"};
inline constexpr QLatin1String RunKey{"Software\\Microsoft\\Windows\\CurrentVersion\\Run"};

inline constexpr QLatin1String Total{"TOTAL"};
inline constexpr QLatin1String OnTop{"On-Top"};
inline constexpr QLatin1String ProgramLaunch{"Program-Launch"};
inline constexpr QLatin1String DefaultTransparency{"Default-Transparency-Color"};
inline constexpr QLatin1String DefaultContrast{"Default-Contrast"};
inline constexpr QLatin1String SelectedPreset{"Selected-Preset"};
inline constexpr QLatin1String Color{"Color"};
inline constexpr QLatin1String DateAlign{"Date-align"};
inline constexpr QLatin1String DateFont{"Date-Font"};
inline constexpr QLatin1String DateSize{"Date-Size"};
inline constexpr QLatin1String DateColor{"Date-Color"};
inline constexpr QLatin1String TimeAlign{"Time-Align"};
inline constexpr QLatin1String TimeFont{"Time-Font"};
inline constexpr QLatin1String TimeSize{"Time-Size"};
inline constexpr QLatin1String TimeColor{"Time-Color"};
// These two always carry the widget number in front ("0Style-modern").
inline constexpr QLatin1String StyleModern{"Style-modern"};
inline constexpr QLatin1String State{"State"};
// The resizable kinds' main part: its content (picture or note file), size
// and the window's place.
inline constexpr QLatin1String Photo{"PHOTO"};
inline constexpr QLatin1String PhotoWidth{"PHOTOWIDTH"};
inline constexpr QLatin1String PhotoHeight{"PHOTOHEIGHT"};
inline constexpr QLatin1String PhotoLeft{"PHOTOLEFT"};
inline constexpr QLatin1String PhotoTop{"PHOTOTOP"};

inline constexpr QLatin1String WindowState{"Window State"};
inline constexpr QLatin1String Left{"Left"};
inline constexpr QLatin1String Top{"Top"};
inline constexpr QLatin1String Width{"Width"};
inline constexpr QLatin1String Height{"Height"};

inline constexpr QLatin1String UpdateShown{"Update Shown"};

inline constexpr QLatin1String DefaultPreset{"Classic black.tvp"};

} // namespace tavlo::reg
