#pragma once

namespace pinwright::ui::control {

// Identifiers of the main dialog's controls. The dialog itself is described
// once, in resources/main_dialog.ui.

inline constexpr int kCancelCommand = 2;  // closing the window or pressing Escape

// Buttons
inline constexpr int kFirstDecision = 1001;   // "Skip" / "Keep" (default button)
inline constexpr int kSecondDecision = 1002;  // "Save as new entry" / "Delete Master entry"
inline constexpr int kHelp = 1003;
inline constexpr int kExit = 1004;
inline constexpr int kPosition = 1015;
inline constexpr int kText = 1016;
inline constexpr int kBoth = 1035;
inline constexpr int kStart = 1027;
inline constexpr int kQuit = 1030;
inline constexpr int kMasterText = 1028;
inline constexpr int kMasterOv2 = 1036;
inline constexpr int kMasterClear = 1047;
inline constexpr int kUpdateText = 1029;
inline constexpr int kUpdateOv2 = 1037;
inline constexpr int kUpdateClear = 1048;
inline constexpr int kOutputText = 1040;
inline constexpr int kOutputOv2 = 1041;
inline constexpr int kOutputClear = 1049;
inline constexpr int kBack = 1060;  // the previous review stop of the run

// Group boxes
inline constexpr int kMasterGroup = 1006;
inline constexpr int kUpdateGroup = 1007;
inline constexpr int kOutputGroup = 1038;
inline constexpr int kMatchGroup = 1010;    // "First matching entry"
inline constexpr int kOptionsGroup = 1021;  // "Updating Options" / "Duplicate Options"
inline constexpr int kRadiusGroup = 1022;   // "Match radius"

// File slots
inline constexpr int kMasterPath = 1008;
inline constexpr int kUpdatePath = 1009;
inline constexpr int kOutputPath = 1039;
inline constexpr int kMasterCount = 1033;
inline constexpr int kUpdateCount = 1034;
inline constexpr int kOutputCount = 1042;
inline constexpr int kMasterSymbol = 1044;
inline constexpr int kUpdateSymbol = 1045;
inline constexpr int kOutputSymbol = 1046;

// Review area
inline constexpr int kMasterLabel = 1013;  // "Master Long/Lat deg"
inline constexpr int kRow1Longitude = 1017;
inline constexpr int kRow1Latitude = 1018;
inline constexpr int kRow1Entry = 1031;
inline constexpr int kRow1Name = 1011;
inline constexpr int kRow1Information = 1051;
inline constexpr int kRow2Label = 1014;  // "Update Long/Lat deg" / "Matched Long/Lat deg"
inline constexpr int kRow2Longitude = 1019;
inline constexpr int kRow2Latitude = 1020;
inline constexpr int kRow2Entry = 1032;
inline constexpr int kRow2Name = 1012;         // editable
inline constexpr int kRow2Information = 1052;  // editable
inline constexpr int kSeparationLabel = 1025;
inline constexpr int kSeparation = 1026;

// Options
inline constexpr int kAutoLabel = 1055;      // "Skip if" / "Delete if"
inline constexpr int kUnderOneMetre = 1054;  // "< 1 or"
inline constexpr int kUnderRadius = 1053;    // "< 20 metres"
inline constexpr int kAppend = 1056;
inline constexpr int kRadiusCombo = 1023;
inline constexpr int kMetresLabel = 1024;

// The run panel beside the review rows. Added to the window after the
// controls above: `show all` of a script leaves them out, so that the
// transcripts of the dialog as it was keep their lines.
inline constexpr int kProgress = 1057;   // where a waiting run stands
inline constexpr int kRunStatus = 1058;  // how the last run ended
inline constexpr int kMatchMap = 1059;   // the map of the pending pair

// The options that read the names, added after the run panel and left out of
// `show all` as it is.
inline constexpr int kNamesLabel = 1061;      // "Names"
inline constexpr int kNamesCombo = 1062;      // "any", "same", "similar"
inline constexpr int kKeepFirst = 1063;       // "Keep first": duplicate runs only
inline constexpr int kNameSimilarity = 1064;  // "names 0.92" beside the separation

}  // namespace pinwright::ui::control
