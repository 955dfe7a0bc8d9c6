// The program's three windows and the controls that the logic and the layouts
// name, each a constant whose value is the window designer's name, so that a
// misspelt control fails to compile instead of failing at run time.
#pragma once

#include "app/Layout.h"

namespace vardelune {

constexpr FormId kMainWindow = FormId::Form1;
constexpr FormId kResultsWindow = FormId::Form2;
constexpr FormId kErrorWindow = FormId::Form3;

namespace main_window {
constexpr const char* kAccountList = "List1";
constexpr const char* kContactsFolderBox = "Text6";
constexpr const char* kMessengerFolderBox = "Text5";
constexpr const char* kProfileBox = "Text2";
constexpr const char* kFirstFocusBox = "Text1";
constexpr const char* kCloseMessengerWarning = "Label8";
constexpr const char* kCreditLine = "Label7";
constexpr const char* kExplanation = "Label6";
constexpr const char* kSeparator = "Line1";
constexpr const char* kManualCleanupCaption = "Label4";
constexpr const char* kTempLinkCover = "Label3";
constexpr const char* kListHeading = "Label2";
constexpr const char* kResetWarning = "Label1";
constexpr const char* kOpenContactsCover = "Image6";
constexpr const char* kOpenContactsButton = "Image5";
constexpr const char* kOpenMessengerCover = "Image4";
constexpr const char* kOpenMessengerButton = "Image3";
constexpr const char* kRepairCover = "Image1";
constexpr const char* kRepairButton = "Image2";
constexpr const char* kTempLink = "Label5";
}  // namespace main_window

namespace results_window {
constexpr const char* kRelaunchPushButton = "Command3";
constexpr const char* kBackPushButton = "Command2";
constexpr const char* kQuitPushButton = "Command1";
constexpr const char* kBackCover = "Image4";
constexpr const char* kBackButton = "Image3";
constexpr const char* kRelaunchCover = "Image1";
constexpr const char* kMessage = "Label1";
constexpr const char* kRelaunchButton = "Image2";
}  // namespace results_window

namespace error_window {
constexpr const char* kRetryCover = "Image1";
constexpr const char* kMessage = "Label1";
constexpr const char* kRetryButton = "Image2";
}  // namespace error_window

}  // namespace vardelune
