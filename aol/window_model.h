// The AOL client as seen from outside: the class names and captions of the
// windows the program finds, and how they nest.
//
//   "AOL Frame25"                      the main window; its menu tells the version
//     "MDIClient"                      the document area
//       "AOL Child" ...                document windows, front first
//     "AOL Toolbar" > "_AOL_Toolbar"   > "_AOL_Icon"s, "_AOL_Combobox" > "Edit"
//   "#32770" "America Online"          the alert, > "Button" "OK"
//   "#32768"                           a pop-up menu
//   "_AOL_Modal" "File Transfer ..."   the upload window
#pragma once

namespace qm::aol {

inline constexpr const char* kMainClass = "AOL Frame25";
inline constexpr const char* kMdiClass = "MDIClient";
inline constexpr const char* kChildClass = "AOL Child";
inline constexpr const char* kRichClass = "RICHCNTL";
inline constexpr const char* kRichReadOnlyClass = "RICHCNTLREADONLY";
inline constexpr const char* kListboxClass = "_AOL_Listbox";
inline constexpr const char* kIconClass = "_AOL_Icon";
inline constexpr const char* kStaticClass = "_AOL_Static";
inline constexpr const char* kComboboxClass = "_AOL_Combobox";
inline constexpr const char* kEditClass = "_AOL_Edit";
inline constexpr const char* kAlertClass = "#32770";
inline constexpr const char* kAlertCaption = "America Online";
inline constexpr const char* kButtonClass = "Button";
inline constexpr const char* kModalClass = "_AOL_Modal";
inline constexpr const char* kPopupMenuClass = "#32768";

}  // namespace qm::aol
