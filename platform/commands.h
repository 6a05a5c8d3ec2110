#pragma once
// The frame's command ids: menu items, tool-bar buttons and the print commands a view
// receives. The numbers are the ones the program has always used (the saved tool-bar
// layout and the views' command tables key on them). The grid widget handles the print
// commands too, so the list sits below every subsystem.
namespace platform {

inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_DIRECT = 57608;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_APP_UPDATE = 57610;  // "软件升级"
inline constexpr int ID_FILE_SEND_MAIL = 57612;
inline constexpr int ID_FILE_MRU_FIRST = 57616;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int ID_HELP_TOPICS = 183;
inline constexpr int ID_VIEW_DEFAULT_LAYOUT = 32773;  // "默认布局"
inline constexpr int ID_VIEW_HIDE_LEFT = 32774;       // "隐藏左边窗口"
inline constexpr int ID_HELP_WEBSITE = 32775;         // "官方网站"
inline constexpr int ID_FONT_HEIGHT_FIRST = 32777;    // "字体高度" 9, 10, 12, 14, 16, 18: 32777..32782

}  // namespace platform
