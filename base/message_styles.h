// The message box styles and results (the platform's numbers) and the
// application title, shared by the dialogs and everyone who shows one.
#pragma once

namespace pw {

inline constexpr int kStyleOkOnly = 0;
inline constexpr int kStyleOkCancel = 1;
inline constexpr int kStyleYesNo = 4;
inline constexpr int kStyleCritical = 16;
inline constexpr int kStyleQuestion = 32;
inline constexpr int kStyleInformation = 64;
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;

inline constexpr const char* kAppTitle = "Varnel FSX Paintwell";

}  // namespace pw
